#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

// Runs a command and returns its standard output.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    std::array<char, 4096> buffer{};
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
        out.append(buffer.data(), read);
    return out;
}

// A test program (one of the *Program.cpp helpers, the start-up program by default) started the way a game
// starts, in a folder of its own that holds qml/config.json with a test stage (so log lines are kept) and,
// when given, qml/main.qml; its output goes to a file. Under the test's X server it finds the program's
// window, takes screenshots of it and sends it real mouse and keyboard input through xdotool.
// Tests that use it must hold a VisibleWindowLock: they share the X server's pointer and focus.
class EngineProcess
{
public:
    using Clock = std::chrono::steady_clock;

    // An empty mainQml leaves the program with its compiled-in main file; an empty title gives the
    // window the engine's default title.
    EngineProcess(const std::string& title, const std::string& mainQml,
                  const std::string& programName = "StartupProgram")
        : m_title(title.empty() ? "Zanth" : title)
    {
        char dir[] = "/tmp/zanth-engine-XXXXXX";
        m_dir = mkdtemp(dir);
        std::system(("mkdir -p " + m_dir + "/qml").c_str());
        std::ofstream(m_dir + "/qml/config.json")
            << "{ \"title\": \"" << title << "\", \"stage\": \"test\" }\n";
        if (!mainQml.empty())
            std::ofstream(m_dir + "/qml/main.qml") << mainQml;
        m_output = m_dir + "/output.txt";
        const std::string program = std::string(std::getenv("ZANTH_TEST_PROGRAMS")) + "/" + programName;
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = open(m_output.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            if (chdir(m_dir.c_str()) != 0)
                _exit(126);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~EngineProcess()
    {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        std::system(("rm -rf " + m_dir).c_str());
    }

    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    std::string output() const
    {
        std::ifstream in(m_output);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // How often the text occurs in the output so far.
    int countInOutput(const std::string& text) const
    {
        const std::string all = output();
        int count = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size()))
            ++count;
        return count;
    }

    bool waitForLine(const std::string& text, double seconds = 20.0) const
    {
        return waitFor([&] { return output().find(text) != std::string::npos; }, seconds);
    }

    // The program's window (exactly its title), waiting for it to show; empty when it never does.
    std::string windowId(double seconds = 20.0)
    {
        if (!m_windowId.empty())
            return m_windowId;
        waitFor(
            [&] {
                std::istringstream in(commandOutput("timeout 5 xdotool search --onlyvisible --name '^" +
                                                    m_title + "$' 2>/dev/null"));
                in >> m_windowId;
                return !m_windowId.empty();
            },
            seconds);
        return m_windowId;
    }

    // The window's content as it is on the screen.
    QImage screenshot()
    {
        const std::string png = commandOutput("import -window " + windowId() + " png:- 2>/dev/null");
        return QImage::fromData(QByteArray(png.data(), int(png.size())), "PNG");
    }

    // Waits until the window pixel (window coordinates, origin top left) satisfies the test.
    bool waitForPixel(int x, int y, const std::function<bool(const QColor&)>& test, double seconds = 20.0)
    {
        return waitFor(
            [&] {
                const QImage image = screenshot();
                return image.valid(x, y) && test(image.pixelColor(x, y));
            },
            seconds);
    }

    // "Width: 960" and "Height: 640" lines and the rest of xwininfo's report on the window.
    std::string windowInfo() { return commandOutput("xwininfo -id " + windowId()); }

    // Gives the window the keyboard focus.
    void focus()
    {
        xdotool("windowfocus --sync " + windowId());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    void moveTo(int x, int y) { xdotool("mousemove --window " + windowId() + " " + point(x, y)); }
    void click(int x, int y)
    {
        moveTo(x, y);
        xdotool("click 1");
    }
    void doubleClick(int x, int y)
    {
        moveTo(x, y);
        xdotool("click --repeat 2 --delay 60 1");
    }
    // Presses at the start, moves in steps to the end, and releases there.
    void drag(int fromX, int fromY, int toX, int toY, int steps = 8)
    {
        moveTo(fromX, fromY);
        xdotool("mousedown 1");
        for (int i = 1; i <= steps; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            moveTo(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        xdotool("mouseup 1");
    }
    // An xdotool key name, e.g. "a", "ctrl+2", "Escape"; the window should have the focus.
    void key(const std::string& keys) { xdotool("key " + keys); }

    // The exit status, or -1 on timeout or a signal.
    int waitExit(double seconds, double* took = nullptr)
    {
        const auto start = Clock::now();
        const bool exited = waitFor(
            [&] {
                int status = 0;
                if (waitpid(m_pid, &status, WNOHANG) != m_pid)
                    return false;
                m_exited = true;
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            },
            seconds, std::chrono::milliseconds(5));
        if (took)
            *took = std::chrono::duration<double>(Clock::now() - start).count();
        return exited ? m_status : -1;
    }

    static bool waitFor(const std::function<bool()>& condition, double seconds,
                        std::chrono::milliseconds poll = std::chrono::milliseconds(20))
    {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        do {
            if (condition())
                return true;
            std::this_thread::sleep_for(poll);
        } while (Clock::now() < end);
        return false;
    }

private:
    static std::string point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    static void xdotool(const std::string& arguments)
    {
        std::system(("timeout 5 xdotool " + arguments + " >/dev/null 2>&1").c_str());
    }

    std::string m_title;
    std::string m_dir;
    std::string m_output;
    std::string m_windowId;
    pid_t m_pid = -1;
    bool m_exited = false;
    int m_status = -1;
};
