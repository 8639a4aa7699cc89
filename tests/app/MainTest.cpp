// Embervale started as ./run.sh starts it, from the checkout, and from its build folder or any other
// folder: the checkout's plugins/generic holds the widget skin's QML but not its images, which only the
// resource tree has. Each start draws the menus' pull-ups and prints nothing. A first start compiles no
// QML: the program's and the engine's come compiled in.

#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "ShellCommand.h"
#include "VisibleWindowLock.h"

#include <QColor>
#include <QDirIterator>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

const VisibleWindowLock g_windowLock;

class Embervale : public ProgramRun
{
public:
    explicit Embervale(const std::string& workingFolder)
        : ProgramRun("../embervale", "Embervale for Zanth", {}, nullptr, workingFolder)
    {
    }

    QImage screenshot()
    {
        const std::string file = m_shots.filePath("window.png").toStdString();
        runCommand("import -window " + windowId() + " " + file + " 2>/dev/null");
        return QImage(QString::fromStdString(file));
    }

private:
    QTemporaryDir m_shots;
};

bool orange(const QColor& c)
{
    return c.red() > 150 && c.blue() < 100;
}

// A menu's pull-up (39 wide) whose box starts at x = left on the window's middle row: orange rims at
// both ends, its dark inside between them.
bool pullUpAt(const QImage& image, int left)
{
    const auto at = [&](int x) { return image.valid(x, 320) ? image.pixelColor(x, 320) : QColor(); };
    return orange(at(left + 1)) && orange(at(left + 38)) && !orange(at(left + 20));
}

bool bothPullUpsShow(Embervale& run)
{
    // Generous: a sanitised program on a loaded machine starts many times slower.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60) * deadlineScale();
    while (std::chrono::steady_clock::now() < end) {
        const QImage image = run.screenshot();
        if (pullUpAt(image, 0) && pullUpAt(image, 920))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

} // namespace

TEST(EmbervaleStart, fromTheCheckoutTheBuildFolderOrAnotherFolderItDrawsItsMenusAndPrintsNothing)
{
    // The program and its file dialogs need the X server.
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QTemporaryDir elsewhere;
    const std::string folders[] = {ZANTH_CHECKOUT, testProgramPath(".."), elsewhere.path().toStdString()};
    for (const std::string& folder : folders) {
        SCOPED_TRACE("started in " + folder);
        Embervale run(folder);
        ASSERT_FALSE(run.windowId().empty()) << run.output();
        EXPECT_TRUE(bothPullUpsShow(run)) << run.output();
        EXPECT_EQ(run.output(), "");
    }
}

// QML compiled while a program runs is kept in the disk cache below HOME; the program's and the engine's
// files are compiled into the program, so a first start leaves nothing there.
TEST(EmbervaleStart, aFirstStartCompilesNoQmlOfItsOwnOrOfTheEngine)
{
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    const std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    unsetenv("XDG_CACHE_HOME");
    {
        Embervale run(elsewhere.path().toStdString());
        setenv("HOME", previousHome.c_str(), 1);
        ASSERT_FALSE(run.windowId().empty()) << run.output();
        ASSERT_TRUE(bothPullUpsShow(run)) << run.output();
    }
    QStringList compiled;
    QDirIterator files(home.path(), {"*.qmlc", "*.jsc"}, QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        compiled << files.next();
    EXPECT_TRUE(compiled.isEmpty()) << compiled.join("\n").toStdString();
}
