#pragma once

#include "ProgramRun.h"
#include "ShellCommand.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>

// The image as the content of a PNG file, for a game folder's files.
inline QByteArray pngFileContent(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The folder a game runs in: qml/config.json with the title and a test stage (so log lines are kept),
// qml/main.qml when one is given, and any other files the game reads (paths relative to the folder).
class GameFolder
{
public:
    GameFolder(const std::string& title, const std::string& mainQml,
               const std::map<std::string, QByteArray>& files)
    {
        char dir[] = "/tmp/zanth-game-XXXXXX";
        m_folder = mkdtemp(dir);
        write("qml/config.json",
              "{ \"title\": \"" + QByteArray::fromStdString(title) + "\", \"stage\": \"test\" }\n");
        if (!mainQml.empty())
            write("qml/main.qml", QByteArray::fromStdString(mainQml));
        for (const auto& [path, content] : files)
            write(path, content);
    }
    ~GameFolder() { runCommand("rm -rf " + m_folder); }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::string& folder() const { return m_folder; }

private:
    void write(const std::string& path, const QByteArray& content)
    {
        const std::string full = m_folder + "/" + path;
        runCommand("mkdir -p \"$(dirname '" + full + "')\"");
        std::ofstream(full, std::ios::binary).write(content.constData(), content.size());
    }

    std::string m_folder;
};

// A game run as its own program (the start-up program by default) the way a game starts, in a game folder
// of its own, under the test's X server: screenshots of its window and real mouse and keyboard input
// through xdotool. Tests that use it must hold a VisibleWindowLock: they share the pointer and the focus.
class EngineProcess : private GameFolder, public ProgramRun
{
public:
    // An empty mainQml leaves the program with its compiled-in main file; an empty title gives the window
    // the engine's default title.
    EngineProcess(const std::string& title, const std::string& mainQml,
                  const std::map<std::string, QByteArray>& files = {},
                  const std::string& programName = "StartupProgram")
        : GameFolder(title, mainQml, files),
          ProgramRun(programName, title.empty() ? "Zanth" : title, {}, nullptr, folder())
    {
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

    // The window's content as it is on the screen.
    QImage screenshot()
    {
        const std::string file = folder() + "/screenshot.png";
        runCommand("import -window " + windowId() + " " + file + " 2>/dev/null");
        return QImage(QString::fromStdString(file));
    }

    // Waits until the window pixel (window points, origin top left) passes the test.
    bool waitForPixel(int x, int y, const std::function<bool(const QColor&)>& test, double seconds = 20.0)
    {
        return waitFor(
            [&] {
                const QImage image = screenshot();
                return image.valid(x, y) && test(image.pixelColor(x, y));
            },
            seconds);
    }

    // xwininfo's report on the window ("Width: 960", "Height: 640", ...).
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
    // Presses at the start, moves there in steps and releases at the end; a hold before the release
    // stops a flickable there instead of flinging it on.
    void drag(int fromX, int fromY, int toX, int toY, int steps = 8, int holdMs = 30)
    {
        moveTo(fromX, fromY);
        xdotool("mousedown 1");
        for (int i = 1; i <= steps; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            moveTo(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        xdotool("mouseup 1");
    }
    // xdotool key names, e.g. "a", "ctrl+2", "Escape"; the window should have the focus.
    void key(const std::string& keys) { xdotool("key " + keys); }

    static bool waitFor(const std::function<bool()>& condition, double seconds)
    {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds * deadlineScale());
        do {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (Clock::now() < end);
        return false;
    }

private:
    static std::string point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    static void xdotool(const std::string& arguments)
    {
        runCommand("timeout 5 xdotool " + arguments + " >/dev/null 2>&1");
    }
};
