// Embervale itself, started as the user starts it, driven with real clicks and keys and watched through
// screenshots, its log and the files it writes below the test's own HOME.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

const VisibleWindowLock g_windowLock;
const char* const kTitle = "Embervale for Zanth";

QString storageFolder()
{
    return QDir::homePath() + "/Documents/Embervale for Zanth/particles/";
}

// Its dialogs are Qt widgets: they need the X server too.
const char* platform()
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    return "../embervale";
}

class Embervale : public EngineProcess
{
public:
    Embervale() : EngineProcess(kTitle, "", {}, platform()) {}

    // Waits for the first drawn frame: the main menu's orange pull-up at the left edge.
    bool ready()
    {
        return waitForLine("Embervale: started") &&
               waitForPixel(10, 320, orange);
    }

    bool hasParticles() { return ready() && countInOutput("Particle type is not available") == 0; }

    static bool orange(const QColor& c) { return c.red() > 150 && c.blue() < 100; }

    // Slides a menu in and waits until its pull-up stands at the shown position.
    bool openMainMenu()
    {
        click(20, 320);
        const bool shown = waitForPixel(404, 320, orange, 10.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return shown;
    }
    bool openPropertiesMenu()
    {
        click(940, 320);
        const bool shown = waitForPixel(556, 320, orange, 10.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return shown;
    }

    // Answers the next dialog of the program titled `title` (any other window of the program when title is
    // empty): replaces its text when typeText, then presses Return.
    bool answer(const std::string& title, const std::string& text = {}, bool typeText = true)
    {
        const std::string main = windowId();
        const std::string search =
            title.empty() ? "--pid " + std::to_string(pid()) : "--name '^" + title + "$'";
        const std::string keys =
            typeText ? "xdotool key --clearmodifiers ctrl+a && xdotool type --delay 20 '" + text + "' && " : "";
        const std::string out = commandOutput(
            "for i in $(seq 100); do id=$(xdotool search --onlyvisible " + search + " 2>/dev/null | grep -v '^" +
            main + "$' | head -n 1); [ -n \"$id\" ] && break; sleep 0.1; done; [ -n \"$id\" ] && sleep 0.3 && "
            "xdotool windowfocus --sync \"$id\" && sleep 0.2 && " + keys + "xdotool key --clearmodifiers Return && echo answered 2>&1");
        if (out.find("answered") == std::string::npos)
            std::fprintf(stderr, "answering \"%s\" failed: %s %s\n", title.c_str(), out.c_str(),
                         commandOutput("for w in $(xdotool search --name '.*'); do echo $w $(xdotool getwindowname $w); done").c_str());
        return out.find("answered") != std::string::npos;
    }
};

// A recording xdg-open first on PATH while it lives: the program started meanwhile hands its URLs to it.
class RecordingOpener
{
public:
    RecordingOpener() : m_path(qgetenv("PATH"))
    {
        QFile script(m_folder.filePath("xdg-open"));
        if (script.open(QIODevice::WriteOnly))
            script.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/opened.txt\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", m_folder.path().toLocal8Bit() + ':' + m_path);
        qunsetenv("BROWSER");
    }
    ~RecordingOpener() { qputenv("PATH", m_path); }

    // The next URL handed over, waiting for it.
    QUrl next()
    {
        QFile opened(m_folder.filePath("opened.txt"));
        QStringList lines;
        EngineProcess::waitFor(
            [&] {
                if (!opened.open(QIODevice::ReadOnly))
                    return false;
                lines = QString::fromUtf8(opened.readAll()).split('\n', Qt::SkipEmptyParts);
                opened.close();
                return lines.size() > m_taken;
            },
            10.0);
        return lines.size() > m_taken ? QUrl(lines[m_taken++]) : QUrl();
    }

private:
    QTemporaryDir m_folder;
    QByteArray m_path;
    int m_taken = 0;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString mailBody(const QUrl& url)
{
    return QUrlQuery(url).queryItemValue("body", QUrl::FullyDecoded);
}

bool nearlyBlack(const QColor& c)
{
    return c.red() < 10 && c.green() < 10 && c.blue() < 10;
}

// Pixels in the rectangle that are clearly warmer than they are blue (flames on black).
int firePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 80 && c.red() > c.blue() + 40;
        }
    return count;
}

// Nearly white pixels: text on the about screen's dark panels.
int textPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() > 200 && c.blue() > 200;
        }
    return count;
}

// Width of the light label text across the rectangle (0 when there is none).
int labelWidth(const QImage& image, const QRect& area)
{
    int left = area.right() + 1, right = area.left() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).lightness() > 180) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right >= left ? right - left + 1 : 0;
}

// Waits until the rectangle's picture stops changing (a flick or slide has come to rest): two screenshots
// 150 ms apart that differ in fewer than 20 pixels.
bool waitUntilStill(EngineProcess& run, const QRect& area, double seconds = 6.0)
{
    QImage last = run.screenshot().copy(area);
    return EngineProcess::waitFor(
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            const QImage now = run.screenshot().copy(area);
            int changed = 0;
            for (int y = 0; y < now.height() && y < last.height(); ++y)
                for (int x = 0; x < now.width() && x < last.width(); ++x)
                    changed += qAbs(qGray(now.pixel(x, y)) - qGray(last.pixel(x, y))) > 40;
            last = now;
            return changed < 20;
        },
        seconds);
}

} // namespace

TEST(Embervale, opensItsWindowWithAnEffectAddsAPickedEffectAndTheAboutScreenOpensAndCloses)
{
    // No saved effects above the built-in ones: the list's rows stand where a fresh install has them.
    QDir(storageFolder()).removeRecursively();
    Embervale run;
    const std::string info = run.windowInfo();
    EXPECT_NE(std::string::npos, info.find("\"Embervale for Zanth\"")) << info;
    EXPECT_NE(std::string::npos, info.find("Width: 960")) << info;
    EXPECT_NE(std::string::npos, info.find("Height: 640")) << info;
    ASSERT_TRUE(run.ready()) << run.output();
    if (run.hasParticles()) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        EXPECT_GT(firePixels(run.screenshot(), QRect(0, 0, 960, 640)), 20);
    }
    // Pick "Fire" further down the scrolling effects list, then "Add" makes one more effect of that type.
    ASSERT_TRUE(run.openMainMenu());
    const QRect addButton(20, 170, 360, 26);
    const int addLabel = labelWidth(run.screenshot(), addButton);
    run.focus();
    run.key("d");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    run.drag(190, 580, 190, 160, 21, 400);
    // A click on a list still flicking only stops it.
    EXPECT_TRUE(waitUntilStill(run, QRect(20, 220, 360, 400)));
    run.click(190, 462);
    run.key("a");
    // "Add FireParticle" became "Add Fire".
    int fireLabel = 0;
    EngineProcess::waitFor(
        [&] {
            fireLabel = labelWidth(run.screenshot(), addButton);
            return fireLabel < addLabel * 3 / 4;
        },
        5.0);
    EXPECT_GT(addLabel, 0);
    EXPECT_LT(fireLabel, addLabel * 3 / 4) << addLabel << " wide label before, " << fireLabel << " after";
    EXPECT_GT(fireLabel, addLabel / 4);

    const int effects = run.countInOutput("ParticleEntity_QMLTYPE");
    const QRect stage(0, 0, 960, 640);
    run.click(404, 320);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    const int flames = firePixels(run.screenshot(), stage);
    ASSERT_TRUE(run.openMainMenu());
    run.click(190, 182);
    EXPECT_TRUE(EngineProcess::waitFor([&] { return run.countInOutput("ParticleEntity_QMLTYPE") == effects + 1; }, 5.0))
        << run.output();
    run.click(404, 320);
    if (run.hasParticles()) {
        int more = 0;
        EngineProcess::waitFor(
            [&] {
                more = firePixels(run.screenshot(), stage);
                return more > flames + 2000;
            },
            6.0);
        EXPECT_GT(more, flames + 2000) << flames << " fire pixels before, " << more << " after";
    }

    // The header button at the top centre grows the pane over the stage; its arrows turn the pages (the
    // features page has four lines, the next one two), and the button shrinks it again.
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(100, 560, [](const QColor& c) { return !nearlyBlack(c); }, 5.0));
    const QRect lines(88, 240, 744, 200);
    // The pane slides in: its text is read once two readings 150 ms apart agree.
    int features = -1;
    EngineProcess::waitFor(
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            const int now = textPixels(run.screenshot(), lines);
            const bool steady = now > 0 && qAbs(now - features) * 20 <= now;
            features = now;
            return steady;
        },
        6.0);
    run.click(860, 528);
    int next = 0;
    EngineProcess::waitFor(
        [&] {
            next = textPixels(run.screenshot(), lines);
            return next > 0 && features > next * 3 / 2;
        },
        5.0);
    EXPECT_GT(next, 0);
    EXPECT_GT(features, next * 3 / 2) << features << " text pixels on the features page, " << next << " on the next";
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(100, 560, nearlyBlack, 5.0));
}

TEST(Embervale, backspaceAsksToQuitAndOkQuits)
{
    // Qt's xcb dialogs leave a few blocks behind at exit that no stack names; this run ends normally, so
    // the leak check would abort it.
    const QByteArray asan = qgetenv("ASAN_OPTIONS");
    qputenv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    Embervale run;
    qputenv("ASAN_OPTIONS", asan);
    ASSERT_TRUE(run.ready()) << run.output();
    // A busy machine may lose the key or show the question after the Return: ask and answer again (while
    // the question is open the window takes no keys).
    int status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt) {
        run.focus();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        run.key("BackSpace");
        ASSERT_TRUE(run.answer({}, {}, false)) << run.output();
        status = run.waitExit(4.0);
    }
    EXPECT_EQ(0, status) << run.output();
    EXPECT_EQ(run.countInOutput("the user confirmed the Ok/Cancel dialog with: true"), 1) << run.output();
}

TEST(Embervale, theSpeedSliderChangesTheLiveEffect)
{
    Embervale run;
    ASSERT_TRUE(run.ready()) << run.output();
    if (!run.hasParticles())
        GTEST_SKIP() << "the Particle item is not built yet";
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const QRect stage(40, 0, 880, 640);
    const int before = firePixels(run.screenshot(), stage);
    EXPECT_GT(before, 20);

    // Properties menu, fifth page (Gravity Mode), the Speed slider from 85 to about 850.
    ASSERT_TRUE(run.openPropertiesMenu());
    for (int page = 0; page < 4; ++page) {
        run.click(920, 38);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    // A press far from the knob puts it there.
    run.click(930, 442);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.click(555, 320);
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    const int after = firePixels(run.screenshot(), stage);
    // Fast particles fly far and fade on the way: the flame looks different, though how much depends on where
    // the effect started (a flame near an edge runs off the screen). The values themselves are checked by the
    // property editor's own test.
    EXPECT_NE(after, before) << before << " fire pixels before, " << after << " after";
}

TEST(Embervale, saveAsRefusesNamesOutsideTheEffectsFolderAndKeepsASavedEffectAcrossARestart)
{
    {
        RecordingOpener opener;
        Embervale run;
        ASSERT_TRUE(run.ready()) << run.output();
        const bool particles = run.hasParticles();
        ASSERT_TRUE(run.openMainMenu());
        for (const char* name : {"../Evil", "a#b"}) {
            run.click(190, 234);
            ASSERT_TRUE(run.answer("Save as", name)) << run.output();
            EXPECT_TRUE(run.waitForLine(std::string("can't be saved as \"") + name + "\"")) << run.output();
            ASSERT_TRUE(run.answer({}, {}, false)) << run.output();
        }
        EXPECT_FALSE(QFile::exists(QDir::homePath() + "/Documents/Embervale for Zanth/Evil.json"));
        if (!particles) {
            // Without a live effect there is nothing to save, and the user is told.
            run.click(190, 234);
            ASSERT_TRUE(run.answer("Save as", "Blue")) << run.output();
            EXPECT_TRUE(run.waitForLine("no editable FireParticle effect")) << run.output();
            GTEST_SKIP() << "the Particle item is not built yet";
        }
        run.click(190, 234);
        ASSERT_TRUE(run.answer("Save as", "Blue")) << run.output();
        EXPECT_TRUE(run.waitForLine("custom effect: Blue")) << run.output();
        EXPECT_EQ(run.countInOutput("custom effect: Blue"), 1);
        const QByteArray savedText = readAll(storageFolder() + "Blue.json");
        const QJsonObject saved = QJsonDocument::fromJson(savedText).object();
        ASSERT_EQ(saved.keys(), QStringList{"Blue"});
        EXPECT_EQ(saved["Blue"].toObject().keys().size(), 44);

        // Sent as it is edited, which is as it was saved.
        run.click(190, 546);
        ASSERT_TRUE(run.answer("Send to", "someone@example.com")) << run.output();
        const QUrl mail = opener.next();
        EXPECT_EQ(mail.scheme(), "mailto");
        EXPECT_EQ(mail.path(), "someone@example.com");
        EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), "Blue.json");
        EXPECT_EQ(mailBody(mail), QString::fromUtf8(savedText));

        // Saving over it asks first; declining keeps the file.
        run.click(190, 234);
        ASSERT_TRUE(run.answer("Save as", "Blue")) << run.output();
        ASSERT_TRUE(run.answer({}, {}, false)) << run.output();
        EXPECT_EQ(readAll(storageFolder() + "Blue.json"), savedText);
    }
    Embervale again;
    EXPECT_TRUE(again.waitForLine("custom effect: Blue")) << again.output();
}

TEST(Embervale, sendPListMailsTheFileJustExportedThatPlistlibReads)
{
    RecordingOpener opener;
    Embervale run;
    ASSERT_TRUE(run.ready()) << run.output();
    if (!run.hasParticles())
        GTEST_SKIP() << "the Particle item is not built yet";
    ASSERT_TRUE(run.openMainMenu());
    run.click(190, 598);
    ASSERT_TRUE(run.answer("Send to", "someone@example.com")) << run.output();
    const QUrl mail = opener.next();
    EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), "FireParticle.plist");
    const QString file = storageFolder() + "FireParticle.plist";
    EXPECT_EQ(mailBody(mail), QString::fromUtf8(readAll(file)));
    EXPECT_EQ(commandOutput("python3 -c \"import plistlib,sys; print(int(plistlib.load(open(sys.argv[1],'rb'))['maxParticles']))\" '" +
                            file.toStdString() + "'"),
              "42\n");
}

TEST(Embervale, aCraftedEffectFileFailsWithOneLogLineAndTheEditorRunsOn)
{
    // The only saved effect, so its button comes first.
    QDir(storageFolder()).removeRecursively();
    QDir().mkpath(storageFolder());
    const QByteArray deep = "{ \"Deep\" : " + QByteArray(5'000'000, '[') + QByteArray(5'000'000, ']') + "}";
    QFile file(storageFolder() + "Deep.json");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(deep);
    file.close();

    Embervale run;
    ASSERT_TRUE(run.ready()) << run.output();
    if (!run.hasParticles())
        GTEST_SKIP() << "the Particle item is not built yet";
    ASSERT_TRUE(run.openMainMenu());
    run.focus();
    run.key("d");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.click(190, 150);
    run.key("a");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.click(190, 182);
    EXPECT_TRUE(run.waitForLine("Deep.json can't be read")) << run.output();
    EXPECT_EQ(run.countInOutput("Deep.json"), 1) << run.output();
    // Still drawing: the about pane opens.
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(100, 560, [](const QColor& c) { return !nearlyBlack(c); }, 5.0));
    QFile::remove(storageFolder() + "Deep.json");
}
