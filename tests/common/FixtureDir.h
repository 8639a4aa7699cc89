#pragma once

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// A temporary folder for files a test generates (often with Python's standard library), removed at
// the end of the test.
class FixtureDir
{
public:
    std::string path(const std::string& name = std::string()) const
    {
        std::string root = m_dir.path().toStdString();
        return name.empty() ? root : root + "/" + name;
    }

    // Creates missing folders on the way.
    void write(const std::string& name, const std::string& bytes) const
    {
        QDir().mkpath(QFileInfo(QString::fromStdString(path(name))).path());
        std::ofstream out(path(name), std::ios::binary);
        out << bytes;
    }

    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs a Python 3 script inside the folder; true when it exits with status 0.
    bool python(const std::string& script) const
    {
        write("fixture.py", script);
        std::string command = "cd '" + path() + "' && python3 fixture.py";
        return std::system(command.c_str()) == 0;
    }

private:
    QTemporaryDir m_dir;
};
