// Embervale itself, started as the user starts it, driven with real clicks and keys and watched through
// screenshots, its log and the files it writes below the test's own HOME.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

// Lets failure messages show JSON values as text.
inline void PrintTo(const QJsonValue& value, std::ostream* os)
{
    *os << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

const VisibleWindowLock g_windowLock;
const char* const kTitle = "Embervale for Zanth";
// Where the menus' pull-ups (39 wide on the window) start when the menus are hidden and shown.
constexpr int kMainHidden = 0, kMainShown = 384, kPropertiesShown = 536, kPropertiesHidden = 920;

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

    // Waits for the first drawn frame: the main menu's pull-up at rest at the left edge.
    // Generous: a loaded machine runs the sanitised program many times slower.
    bool ready() { return waitForLine("Embervale: started", 60.0) && waitForPullUp(kMainHidden, 60.0); }

    bool hasParticles() { return ready() && countInOutput("Particle type is not available") == 0; }

    static bool orange(const QColor& c) { return c.red() > 150 && c.blue() < 100; }

    // A pull-up whose box starts at x = left on the window's middle row: orange rims at both ends, its dark
    // inside between them. A menu on its way shows other orange lines there (its buttons' rims) but not this.
    static bool pullUpAt(const QImage& image, int left)
    {
        const auto at = [&](int x) { return image.valid(x, 320) ? image.pixelColor(x, 320) : QColor(); };
        return orange(at(left + 1)) && orange(at(left + 38)) && !orange(at(left + 20)) &&
               !orange(at(left + 28));
    }
    bool waitForPullUp(int left, double seconds)
    {
        return waitFor([&] { return pullUpAt(screenshot(), left); }, seconds);
    }

    // Slides a menu in or out by a tap on its pull-up and waits until the pull-up has come to rest at the
    // other end (tapped again when the menu never set off: a tap lost on a busy machine).
    bool slideMenu(int fromX, int toX)
    {
        const int tapX = fromX + 20;
        click(tapX, 320);
        if (waitForPullUp(toX, 5.0))
            return true;
        if (pullUpAt(screenshot(), fromX))
            click(tapX, 320);
        return waitForPullUp(toX, 10.0);
    }
    bool openMainMenu() { return slideMenu(kMainHidden, kMainShown); }
    bool closeMainMenu() { return slideMenu(kMainShown, kMainHidden); }
    bool openPropertiesMenu() { return slideMenu(kPropertiesHidden, kPropertiesShown); }
    bool closePropertiesMenu() { return slideMenu(kPropertiesShown, kPropertiesHidden); }

    // Answers the next dialog of the program titled `title` (any other window of the program when title is
    // empty): replaces its text when typeText, then presses Return.
    bool answer(const std::string& title, const std::string& text = {}, bool typeText = true)
    {
        const std::string main = windowId();
        const std::string search =
            title.empty() ? "--pid " + std::to_string(pid()) : "--name '^" + title + "$'";
        const std::string keys =
            typeText ? "xdotool key --clearmodifiers ctrl+a && xdotool type --delay 20 '" + text + "' && "
                     : "";
        const std::string out = commandOutput(
            "for i in $(seq 300); do id=$(xdotool search --onlyvisible " + search +
            " 2>/dev/null | grep -v '^" + main +
            "$' | head -n 1); [ -n \"$id\" ] && break; sleep 0.1; done; [ -n \"$id\" ] && sleep 0.3 && "
            "xdotool windowfocus --sync \"$id\" && sleep 0.2 && " +
            keys + "xdotool key --clearmodifiers Return && echo answered 2>&1");
        if (out.find("answered") == std::string::npos)
            std::fprintf(
                stderr, "answering \"%s\" failed: %s %s\n", title.c_str(), out.c_str(),
                commandOutput(
                    "for w in $(xdotool search --name '.*'); do echo $w $(xdotool getwindowname $w); done")
                    .c_str());
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
int firePixels(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 80 && c.red() > c.blue() + 40;
        }
    return count;
}

// Nearly white pixels: text on the about screen's dark panels.
int textPixels(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() > 200 && c.blue() > 200;
        }
    return count;
}

// Width of the light label text across the rectangle (0 when there is none).
int labelWidth(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    int left = area.right() + 1, right = area.left() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).lightness() > 180) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right >= left ? right - left + 1 : 0;
}

// Waits until the rectangle's picture stops changing (a flick or slide has come to rest; keep the frame
// rate's figures at the bottom left out of it): two screenshots
// 150 ms apart that differ in fewer than 20 pixels.
bool waitUntilStill(Embervale& run, const QRect& area, double seconds = 6.0)
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

bool fire(const QColor& c)
{
    return c.red() > 80 && c.red() > c.blue() + 40;
}

// The stage's own warm colours: the pull-ups of the hidden menus and the about logo.
bool stageChrome(int x, int y)
{
    return ((x < 44 || x > 916) && y > 262 && y < 378) || (x > 430 && x < 530 && y < 100);
}

// The emitter of a FireParticle flame: its particles start small and grow as they fly to the right, so
// the emitter sits at the flame's left end, at the height of the fire there. (-1, -1) without a flame.
QPoint flameEmitter(const QImage& image)
{
    int left = image.width();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < left; ++x)
            if (!stageChrome(x, y) && fire(image.pixelColor(x, y)))
                left = x;
    if (left == image.width())
        return {-1, -1};
    long sum = 0, count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = left; x < left + 20 && x < image.width(); ++x)
            if (!stageChrome(x, y) && fire(image.pixelColor(x, y))) {
                sum += y;
                ++count;
            }
    return {left, int(sum / count)};
}

// Whether nothing of the stage's chrome lies just left of the emitter, where a flame's true start could be
// hidden (the flame then seems to start where it leaves the chrome).
bool clearOfChrome(const QPoint& emitter)
{
    for (int dx = 0; dx <= 110; dx += 2)
        for (int dy = -10; dy <= 10; dy += 10)
            if (stageChrome(emitter.x() - dx, emitter.y() + dy))
                return false;
    return true;
}

// A point that picks the effect of a flame whose start shows at `emitter`, off the pull-ups and logo. A
// slow frame moves a fast flame's new particles on before they are first drawn, so its start can show well
// past the emitter: the press goes a little before it (a pick reaches 50 scene units, 100 points).
QPoint pressPointFor(const QPoint& emitter, int before = 30)
{
    // The pull-ups take presses up to 20 points off their boxes.
    QPoint p = emitter - QPoint(before, 0);
    if (p.x() < 64)
        p.rx() = 64;
    else if (p.x() > 896)
        p.rx() = 896;
    else if (p.y() < 106 && p.x() > 424 && p.x() < 536)
        p.rx() = emitter.x() < 480 ? 420 : 540;
    return p;
}

QPoint effectInView(Embervale& run);

// Drags the only flame on the stage so that its emitter stands at `to` (window points). Tried again from
// where the flame is then when it did not get there (a press lost on a busy machine).
::testing::AssertionResult placeEffect(Embervale& run, const QPoint& to)
{
    std::string tries;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QPoint emitter = attempt == 0 ? effectInView(run) : QPoint(-1, -1);
        if (emitter.x() < 0 &&
            !EngineProcess::waitFor([&] { return (emitter = flameEmitter(run.screenshot())).x() >= 0; }, 30.0))
            return ::testing::AssertionFailure() << "no flame on the stage" << tries;
        const QPoint from = pressPointFor(emitter);
        run.drag(from.x(), from.y(), to.x(), to.y(), 12);
        QPoint now;
        if (EngineProcess::waitFor(
                [&] {
                    now = flameEmitter(run.screenshot());
                    return now.x() >= 0 && (now - to).manhattanLength() < 30;
                },
                15.0))
            return ::testing::AssertionSuccess();
        tries += "; the flame at " + std::to_string(emitter.x()) + ", " + std::to_string(emitter.y()) +
                 " pressed at " + std::to_string(from.x()) + ", " + std::to_string(from.y()) + " ended at " +
                 std::to_string(now.x()) + ", " + std::to_string(now.y());
    }
    return ::testing::AssertionFailure() << "not placed" << tries;
}

// The values of the effect at the point as the program prints them on a click there: the live emitter's
// properties (empty when nothing was picked).
QJsonObject effectJson(Embervale& run, const QPoint& at, int clicks = 3)
{
    const std::string key = "\"maxParticles\"";
    const int before = run.countInOutput(key);
    // The newest print once its line is whole: the output comes through a pipe in pieces, and a long
    // line can be read half.
    std::string line;
    const auto printed = [&] {
        if (run.countInOutput(key) <= before)
            return false;
        const std::string all = run.output();
        const size_t found = all.rfind(key);
        const size_t end = all.find('\n', found);
        if (end == std::string::npos)
            return false;
        const size_t start = all.rfind('\n', found) + 1;
        line = all.substr(start, end - start);
        return true;
    };
    // Clicked again when nothing came: a click lost on a busy machine.
    bool found = false;
    for (int attempt = 0; attempt < clicks && !found; ++attempt) {
        run.click(at.x(), at.y());
        found = EngineProcess::waitFor(printed, 10.0);
    }
    if (!found)
        return {};
    const size_t brace = line.find('{');
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(line.substr(brace == std::string::npos ? 0 : brace)), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in: " << line;
    return document.object();
}

// The values of the only effect on the stage, picked at its flame; `where` tells where it was looked for.
// When a click picks nothing the flame is looked for again and pressed further before its start.
QJsonObject flameEffectJson(Embervale& run, std::string& where)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QPoint emitter = effectInView(run);
        if (emitter.x() < 0)
            break;
        const QPoint at = pressPointFor(emitter, 30 + 40 * attempt);
        where += " flame at " + std::to_string(emitter.x()) + ", " + std::to_string(emitter.y()) + " clicked at " +
                 std::to_string(at.x()) + ", " + std::to_string(at.y()) + ";";
        const QJsonObject values = effectJson(run, at, 1);
        if (!values.isEmpty())
            return values;
    }
    return {};
}

// One row of the window as xwd dumps it: several times quicker than a PNG screenshot, quick enough to
// follow a slide.
QImage quickRow(Embervale& run, int y)
{
    const QString file = QDir::tempPath() + "/window.xwd";
    runCommand("xwd -silent -id " + run.windowId() + " -out '" + file.toStdString() + "'");
    const QByteArray dump = readAll(file);
    const auto byte = [&](qsizetype at) { return quint32(static_cast<unsigned char>(dump[at])); };
    const auto field = [&](int i) {
        return (byte(4 * i) << 24) | (byte(4 * i + 1) << 16) | (byte(4 * i + 2) << 8) | byte(4 * i + 3);
    };
    // 32-bit pixels with 8-bit red, green and blue, as Xvfb's 24-bit screens have them.
    if (dump.size() < 100 || field(11) != 32 || field(14) != 0xff0000 || field(15) != 0xff00 ||
        field(16) != 0xff)
        return {};
    const int width = int(field(4)), height = int(field(5));
    const qsizetype row = qsizetype(field(0)) + qsizetype(field(19)) * 12 + qsizetype(field(12)) * y;
    if (y >= height || dump.size() < row + 4 * width)
        return {};
    QImage image(width, 1, QImage::Format_RGB32);
    const bool lsbFirst = field(7) == 0;
    for (int x = 0; x < width; ++x) {
        const qsizetype p = row + 4 * x;
        const quint32 v = lsbFirst ? (byte(p + 2) << 16) | (byte(p + 1) << 8) | byte(p)
                                   : (byte(p + 1) << 16) | (byte(p + 2) << 8) | byte(p + 3);
        image.setPixel(x, 0, 0xff000000 | v);
    }
    return image;
}

// How far the main menu's pull-up stands from its hidden place in the row through its middle, in window
// points (0 hidden, 384 shown; -1 when it is not seen): its outer orange rim is the row's rightmost orange,
// or the rightmost dimmed orange while the "loading..." overlay covers the window.
int mainMenuOffset(const QImage& row)
{
    const auto rim = [](const QColor& c) {
        return Embervale::orange(c) || (c.red() > 70 && c.red() < 140 && c.blue() < 50 && c.green() < c.red());
    };
    for (int x = std::min(429, row.width() - 1); x >= 0; --x)
        if (rim(row.pixelColor(x, 0)))
            return x - 39;
    return -1;
}

// Opens the main menu by a tap on its pull-up, following the slide through its pull-up's place in the
// row through its middle (quick enough for about 25 readings a second). Succeeds when it was fully shown
// no sooner than 0.6 s after the tap and was seen at two places or more on its way (a loaded machine
// draws a few frames a second); a slide the program stalled through is closed and watched again.
::testing::AssertionResult watchMainMenuSlide(Embervale& run)
{
    struct Sample
    {
        double from, to;
        int offset;
    };
    std::string seen;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<Sample> samples;
        const auto pressed = Clock::now();
        const auto since = [&](Clock::time_point t) {
            return std::chrono::duration<double>(t - pressed).count();
        };
        run.click(20, 320);
        EngineProcess::waitFor(
            [&] {
                const auto before = Clock::now();
                const int offset = mainMenuOffset(quickRow(run, 320));
                samples.push_back({since(before), since(Clock::now()), offset});
                return offset >= 383;
            },
            10.0);
        seen += "slide " + std::to_string(attempt + 1) + ":\n";
        for (const Sample& s : samples)
            seen += std::to_string(s.offset) + " at " + std::to_string(s.from) + ".." +
                    std::to_string(s.to) + " s\n";
        const auto shown =
            std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.offset >= 365; });
        if (shown == samples.end())
            return ::testing::AssertionFailure() << "never shown\n" << seen;
        if (shown->to < 0.6)
            return ::testing::AssertionFailure() << "shown at once\n" << seen;
        std::set<int> onTheWay;
        for (auto s = samples.begin(); s != shown; ++s)
            if (s->offset > 19)
                onTheWay.insert(s->offset);
        if (onTheWay.size() >= 2)
            return ::testing::AssertionSuccess();
        if (!run.waitForPullUp(kMainShown, 10.0) || !run.closeMainMenu())
            return ::testing::AssertionFailure() << "could not close it again\n" << seen;
    }
    return ::testing::AssertionFailure() << "seen at fewer than two places on its way\n" << seen;
}

// Centres of the slider knobs in the rectangle: a light disc round an orange dot.
std::vector<QPoint> knobs(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    const auto light = [&](int x, int y) {
        return image.valid(x, y) && image.pixelColor(x, y).lightness() > 190;
    };
    std::vector<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Embervale::orange(image.pixelColor(x, y)) && light(x - 14, y) && light(x + 14, y) &&
                light(x, y - 14) && light(x, y + 14)) {
                const auto near = std::find_if(found.begin(), found.end(), [&](const QPoint& k) {
                    return (k - QPoint(x, y)).manhattanLength() < 20;
                });
                if (near == found.end())
                    found.push_back({x, y});
            }
    return found;
}

// The bottom row of the first red label text in the rectangle (-1 when there is none).
int redLabelBottom(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 80 && c.blue() < 80) {
                if (bottom >= 0 && y > bottom + 4)
                    return bottom;
                bottom = y;
                break;
            }
        }
    return bottom;
}

// The page name under the properties menu's title: its text's width and height.
QSize pageTitle(const QImage& image)
{
    int left = 960, right = -1, top = 640, bottom = -1;
    for (int y = 40; y < 77; ++y)
        for (int x = 656; x < 880; ++x)
            if (image.pixelColor(x, y).lightness() > 180) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QSize() : QSize(right - left + 1, bottom - top + 1);
}

// Pages the properties menu forward until the page whose name is that wide shows (every page once at
// most); each page's name must stand on one line, whole.
bool showPage(Embervale& run, int titleWidth)
{
    for (int turn = 0; turn < 8; ++turn) {
        const QSize title = pageTitle(run.screenshot());
        EXPECT_LE(title.height(), 22) << "a page name took more than a line: " << title.width() << " wide";
        if (qAbs(title.width() - titleWidth) <= 3)
            return true;
        run.key("Right");
        EngineProcess::waitFor([&] { return pageTitle(run.screenshot()) != title; }, 5.0);
    }
    return false;
}
int orangeCount(const QImage& image, const QRect& wanted)
{
    // The rectangle may reach past the window.
    const QRect area = wanted.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += Embervale::orange(image.pixelColor(x, y));
    return count;
}

// The rim of the first button of "Custom Particles" on the open main menu's effects page.
const QRect kCustomSection(10, 130, 344, 40);

// Turns the open main menu to its effects page, whose "Custom Particles" has a button, and waits for it.
bool showCustomParticles(Embervale& run)
{
    run.focus();
    run.key("d");
    return EngineProcess::waitFor([&] { return orangeCount(run.screenshot(), kCustomSection) > 20; }, 5.0);
}

// Makes the first saved effect the edited type from the open main menu's main page, and waits until the
// page's "Add FireParticle" has become "Add" and that shorter name.
bool chooseFirstCustomEffect(Embervale& run)
{
    const QRect addButton(20, 212, 330, 30);
    const int addLabel = labelWidth(run.screenshot(), addButton);
    if (!showCustomParticles(run))
        return false;
    run.click(190, 151);
    run.key("a");
    return EngineProcess::waitFor([&] { return labelWidth(run.screenshot(), addButton) < addLabel; }, 5.0);
}

// Rows of the main menu's buttons (window points), at the top of the page and scrolled to its end.
const int kAdd = 227;
const int kSaveAs = 299;
const int kRemoveAll = 443;
const int kRemoveFirst = 515;
const int kSendJson = 530;
const int kSendPList = 597;

// "Add" on the open main menu's main page, pressed again when no effect came (a press lost on a busy machine).
bool addEffect(Embervale& run)
{
    const int effects = run.countInOutput("ParticleEntity_QMLTYPE");
    for (int attempt = 0; attempt < 2; ++attempt) {
        run.click(190, kAdd);
        if (EngineProcess::waitFor([&] { return run.countInOutput("ParticleEntity_QMLTYPE") > effects; }, 10.0))
            return true;
    }
    return false;
}

// The emitter of the flame on the stage, with the menus closed. "Add" puts an effect at a random place,
// which may be past the window's edge, under a pull-up or the logo: then another effect of the chosen type
// is added before the hidden one is removed, a few times at most. Never clearing the stage keeps the
// type's edited values: the editor drops them with the type's last effect. (-1, -1) when none was seen.
QPoint effectInView(Embervale& run)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        QPoint emitter;
        if (EngineProcess::waitFor(
                [&] { return (emitter = flameEmitter(run.screenshot())).x() >= 0 && clearOfChrome(emitter); },
                10.0))
            return emitter;
        if (!run.openMainMenu())
            break;
        if (!addEffect(run))
            break;
        run.click(190, kRemoveFirst);
        if (!run.closeMainMenu())
            break;
    }
    return {-1, -1};
}

// Flicks the open main menu's page to its end or back to its top, and waits until it rests.
void scrollMainPage(Embervale& run, bool toEnd)
{
    if (toEnd)
        run.drag(190, 600, 190, 100, 10, 400);
    else
        run.drag(190, 120, 190, 620, 10, 400);
    EXPECT_TRUE(waitUntilStill(run, QRect(20, 100, 340, 490)));
}

const int kGravityModePage = 120;
const int kColorPage = 46;
const int kEmitterLocationPage = 150;
const int kEmitterBehaviourPage = 166;

// The knob of "Speed", the red label of the properties menu's "Gravity Mode" page, once the page rests,
// the page flicked up until it shows ((-1, -1) when it is not there).
QPoint speedKnob(Embervale& run)
{
    if (!showPage(run, kGravityModePage))
        return {-1, -1};
    const QRect page(576, 77, 384, 563);
    const auto knobBelowLabel = [&] {
        const QImage shot = run.screenshot();
        const int label = redLabelBottom(shot, page);
        const std::vector<QPoint> below =
            label < 0 ? std::vector<QPoint>() : knobs(shot, QRect(576, label, 384, 70));
        return below.empty() ? QPoint(-1, -1) : below.front();
    };
    for (int flick = 0; flick < 3; ++flick) {
        // A flame behind the page can keep it from looking still, so the page's stillness is waited for
        // only a while; two looks finding the same knob (or none) decide.
        waitUntilStill(run, page);
        QPoint last, now(-2, -2);
        EXPECT_TRUE(EngineProcess::waitFor(
            [&] {
                last = now;
                now = knobBelowLabel();
                return now == last;
            },
            10.0));
        if (now.x() >= 0)
            return now;
        // In the page's margin, off the widgets.
        run.drag(955, 560, 955, 260, 10, 400);
    }
    return {-1, -1};
}

// Every value of the effect as the other one has it but its place.
void expectSameEffect(const QJsonObject& expected, const QJsonObject& actual, const char* what)
{
    ASSERT_FALSE(expected.isEmpty()) << what;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (it.key() == "x" || it.key() == "y")
            continue;
        const QJsonValue value = actual.value(it.key());
        if (it.key() == "textureFileName")
            EXPECT_EQ(QFileInfo(value.toString()).fileName(), QFileInfo(it.value().toString()).fileName())
                << what;
        else if (it.value().isString() && it.value().toString().contains(',')) {
            const QStringList want = it.value().toString().split(',');
            const QStringList got = value.toString().split(',');
            ASSERT_EQ(got.size(), 2) << what << ": " << it.key().toStdString();
            for (int i = 0; i < 2; ++i)
                EXPECT_NEAR(got[i].toDouble(), want[i].toDouble(), 1e-6)
                    << what << ": " << it.key().toStdString();
        } else if (it.value().isDouble())
            EXPECT_NEAR(value.toDouble(-1e9), it.value().toDouble(), 1e-6)
                << what << ": " << it.key().toStdString();
        else
            EXPECT_EQ(value, it.value()) << what << ": " << it.key().toStdString();
    }
}

} // namespace

TEST(Embervale, opensItsWindowWithAnEffectAddsPickedEffectsAndTheAboutScreenOpensAndCloses)
{
    // No saved effects above the built-in ones: the list's rows stand where a fresh install has them.
    QDir(storageFolder()).removeRecursively();
    Embervale run;
    const std::string info = run.windowInfo();
    EXPECT_NE(std::string::npos, info.find("\"Embervale for Zanth\"")) << info;
    EXPECT_NE(std::string::npos, info.find("Width: 960")) << info;
    EXPECT_NE(std::string::npos, info.find("Height: 640")) << info;
    ASSERT_TRUE(run.hasParticles()) << run.output();
    const QRect stage(0, 0, 960, 640);
    EXPECT_TRUE(EngineProcess::waitFor([&] { return firePixels(run.screenshot(), stage) > 20; }, 10.0));

    // The closed about pane's page arrow lies over the stage there: a press on an effect under it picks
    // the effect, which prints itself and can be dragged away again.
    const QPoint underTheArrow(860, 528);
    ASSERT_TRUE(placeEffect(run, underTheArrow)) << run.output();
    EXPECT_EQ(effectJson(run, underTheArrow).value("maxParticles").toDouble(), 42) << run.output();
    ASSERT_TRUE(placeEffect(run, {700, 600}));

    // The menu slides into place over 0.8 s: it is not fully shown before most of that time has passed,
    // and it stands at more than one place on its way. A stalled program skips frames and may jump the whole
    // way at once; such a slide is watched again.
    ASSERT_TRUE(watchMainMenuSlide(run));
    ASSERT_TRUE(run.waitForPullUp(kMainShown, 10.0));

    // The main page: a column of full-width buttons 30 high and 6 apart (twice that on the screen), read
    // from their orange rims: down the middle a top and a bottom rim a button, across one its two ends.
    const QImage menu = run.screenshot();
    std::vector<int> rims;
    // Down to the frame rate's figures at the bottom left.
    for (int y = 190; y < 600; ++y)
        if (Embervale::orange(menu.pixelColor(182, y)) && !Embervale::orange(menu.pixelColor(182, y - 1)))
            rims.push_back(y);
    ASSERT_GE(rims.size(), 10u);
    for (size_t i = 0; i + 1 < rims.size(); i += 2) {
        int bottom = rims[i + 1];
        while (Embervale::orange(menu.pixelColor(182, bottom + 1)))
            ++bottom;
        EXPECT_NEAR(bottom + 1 - rims[i], 60, 2) << "button " << i / 2;
        if (i > 0) {
            EXPECT_NEAR(rims[i] - rims[i - 2], 72, 1) << "button " << i / 2;
        }
    }
    int left = 0, right = 383;
    while (left < 383 && !Embervale::orange(menu.pixelColor(left, rims[0] + 30)))
        ++left;
    while (right > 0 && !Embervale::orange(menu.pixelColor(right, rims[0] + 30)))
        --right;
    EXPECT_NEAR(right - left + 1, 344, 2);

    // Pick "Fire" further down the scrolling effects list, then "Add" makes effects of that type, as many
    // as the creation count says.
    const QRect addButton(20, 212, 330, 30);
    const int addLabel = labelWidth(menu, addButton);
    run.focus();
    run.key("d");
    EXPECT_TRUE(waitUntilStill(run, QRect(20, 220, 360, 370)));
    run.drag(190, 580, 190, 160, 21, 400);
    // A click on a list still flicking only stops it.
    EXPECT_TRUE(waitUntilStill(run, QRect(20, 220, 360, 370)));
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

    // A press on the count slider's groove at 6 of 0..30 moves its knob there.
    const QRect countLabel(10, 90, 340, 26);
    const int countOne = labelWidth(run.screenshot(), countLabel);
    EXPECT_TRUE(waitUntilStill(run, QRect(20, 80, 340, 500)));
    run.click(96, 157);
    EXPECT_TRUE(
        EngineProcess::waitFor([&] { return labelWidth(run.screenshot(), countLabel) != countOne; }, 5.0));
    const int effects = run.countInOutput("ParticleEntity_QMLTYPE");
    ASSERT_TRUE(run.closeMainMenu());
    const int flames = firePixels(run.screenshot(), stage);
    ASSERT_TRUE(run.openMainMenu());
    run.click(190, 227);
    EXPECT_TRUE(EngineProcess::waitFor(
        [&] { return run.countInOutput("ParticleEntity_QMLTYPE") == effects + 6; }, 10.0))
        << run.output();
    ASSERT_TRUE(run.closeMainMenu());
    int more = 0;
    EngineProcess::waitFor(
        [&] {
            more = firePixels(run.screenshot(), stage);
            return more > flames + 2000;
        },
        6.0);
    EXPECT_GT(more, flames + 2000) << flames << " fire pixels before, " << more << " after";

    // Effects of a type added while the properties menu was hidden get their widgets when it shows, under
    // the "loading..." overlay that dims the whole window, the main menu's pull-up with it.
    bool dimmed = false;
    run.click(940, 320);
    EngineProcess::waitFor(
        [&] {
            const QColor rim = quickRow(run, 320).pixelColor(1, 0);
            return dimmed = rim.red() > 70 && rim.red() < 140 && rim.blue() < 60;
        },
        10.0);
    EXPECT_TRUE(dimmed);
    // Once the widgets are made, which takes long on a loaded machine.
    ASSERT_TRUE(run.waitForPullUp(kPropertiesShown, 60.0));
    ASSERT_TRUE(run.closePropertiesMenu());

    // "Remove All" leaves the stage dark.
    ASSERT_TRUE(run.openMainMenu());
    run.click(190, 443);
    ASSERT_TRUE(run.closeMainMenu());
    EXPECT_TRUE(EngineProcess::waitFor([&] { return flameEmitter(run.screenshot()).x() < 0; }, 10.0));

    // The header button at the top centre grows the pane over the stage; its arrows turn the pages (the
    // features page has four lines, the next one two), and the button shrinks it again.
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(
        100, 560, [](const QColor& c) { return !nearlyBlack(c); }, 5.0));
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
    EXPECT_GT(features, next * 3 / 2)
        << features << " text pixels on the features page, " << next << " on the next";
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(100, 560, nearlyBlack, 5.0));
}

TEST(Embervale, backspaceAsksToQuitAndOkQuits)
{
    Embervale run;
    ASSERT_TRUE(run.ready()) << run.output();
    // A busy machine may lose the key or show the question after the Return: ask and answer again (while
    // the question is open the window takes no keys).
    int status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt) {
        run.focus();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        run.key("BackSpace");
        if (run.answer({}, {}, false))
            status = run.waitExit(10.0);
    }
    // The leak check at exit takes its time on a loaded machine.
    if (status == -1)
        status = run.waitExit(120.0);
    EXPECT_EQ(0, status) << run.output();
    EXPECT_EQ(run.countInOutput("the user confirmed the Ok/Cancel dialog with: true"), 1) << run.output();
}

TEST(Embervale, theSpeedSliderFollowsThePointerByThePixelAndDrivesTheLiveEffect)
{
    Embervale run;
    ASSERT_TRUE(run.hasParticles()) << "the Particle item is missing from the program\n" << run.output();
    const QPoint effect(200, 400);
    ASSERT_TRUE(placeEffect(run, effect));
    EXPECT_EQ(effectJson(run, effect).value("speed").toDouble(), 85);

    // Every page name stands on one line on the way to "Gravity Mode", past "Emitter Behaviour".
    ASSERT_TRUE(run.openPropertiesMenu());
    ASSERT_TRUE(showPage(run, kEmitterBehaviourPage));
    QPoint knob = speedKnob(run);
    ASSERT_GE(knob.x(), 0);

    // Dragged 5 scene units (10 window points) the knob moves the value by 5 units' worth of the 0..1000
    // range over the slider's 182-unit groove less its 28-unit knob (about 32).
    run.drag(knob.x(), knob.y(), knob.x() + 10, knob.y(), 5);
    const double nudged = effectJson(run, effect).value("speed").toDouble();
    EXPECT_GE(nudged, 85 + 24) << run.output();
    EXPECT_LE(nudged, 85 + 41) << run.output();

    // Near the groove's far end the live emitter runs nearly at full speed.
    knob = speedKnob(run);
    ASSERT_GE(knob.x(), 0);
    run.click(940, knob.y());
    EXPECT_TRUE(EngineProcess::waitFor(
        [&] { return effectJson(run, effect).value("speed").toDouble() >= 900; }, 10.0))
        << run.output();
}

TEST(Embervale, saveAsRefusesNamesOutsideTheEffectsFolderAndKeepsASavedEffectAcrossARestart)
{
    QDir(storageFolder()).removeRecursively();
    {
        RecordingOpener opener;
        Embervale run;
        ASSERT_TRUE(run.hasParticles()) << "the Particle item is missing from the program\n" << run.output();
        ASSERT_TRUE(run.openMainMenu());
        for (const char* name : {"../Evil", "a#b"}) {
            run.click(190, kSaveAs);
            ASSERT_TRUE(run.answer("Save as", name)) << run.output();
            EXPECT_TRUE(run.waitForLine(std::string("can't be saved as \"") + name + "\"")) << run.output();
            ASSERT_TRUE(run.answer({}, {}, false)) << run.output();
        }
        EXPECT_FALSE(QFile::exists(QDir::homePath() + "/Documents/Embervale for Zanth/Evil.json"));

        // Without a live effect there is nothing to save, and the user is told.
        run.click(190, kRemoveAll);
        run.click(190, kSaveAs);
        ASSERT_TRUE(run.answer("Save as", "Blue")) << run.output();
        EXPECT_TRUE(run.waitForLine("no editable FireParticle effect")) << run.output();
        ASSERT_TRUE(run.answer({}, {}, false)) << run.output();
        EXPECT_FALSE(QFile::exists(storageFolder() + "Blue.json"));

        EXPECT_TRUE(addEffect(run)) << run.output();
        run.click(190, kSaveAs);
        ASSERT_TRUE(run.answer("Save as", "Blue")) << run.output();
        EXPECT_TRUE(run.waitForLine("custom effect: Blue")) << run.output();
        EXPECT_EQ(run.countInOutput("custom effect: Blue"), 1);
        const QByteArray savedText = readAll(storageFolder() + "Blue.json");
        const QJsonObject saved = QJsonDocument::fromJson(savedText).object();
        ASSERT_EQ(saved.keys(), QStringList{"Blue"});
        EXPECT_EQ(saved["Blue"].toObject().keys().size(), 44);

        // Its button stands in its section on the effects page, not over the menu's header.
        EXPECT_TRUE(showCustomParticles(run));
        EXPECT_EQ(orangeCount(run.screenshot(), QRect(80, 0, 224, 30)), 0);
        run.key("a");
        EXPECT_TRUE(EngineProcess::waitFor(
            [&] { return orangeCount(run.screenshot(), QRect(10, kAdd - 10, 344, 20)) > 20; }, 5.0));

        // Sent as it is edited, which is as it was saved.
        scrollMainPage(run, true);
        run.click(190, kSendJson);
        ASSERT_TRUE(run.answer("Send to", "someone@example.com")) << run.output();
        const QUrl mail = opener.next();
        EXPECT_EQ(mail.scheme(), "mailto");
        EXPECT_EQ(mail.path(), "someone@example.com");
        EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), "Blue.json");
        EXPECT_EQ(mailBody(mail), QString::fromUtf8(savedText));

        // Saving over it asks first; declining keeps the file.
        scrollMainPage(run, false);
        run.click(190, kSaveAs);
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
    ASSERT_TRUE(run.hasParticles()) << "the Particle item is missing from the program\n" << run.output();
    ASSERT_TRUE(run.openMainMenu());
    scrollMainPage(run, true);
    run.click(190, kSendPList);
    ASSERT_TRUE(run.answer("Send to", "someone@example.com")) << run.output();
    const QUrl mail = opener.next();
    EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), "FireParticle.plist");
    const QString file = storageFolder() + "FireParticle.plist";
    EXPECT_EQ(mailBody(mail), QString::fromUtf8(readAll(file)));
    EXPECT_EQ(commandOutput("python3 -c \"import plistlib,sys; "
                            "print(int(plistlib.load(open(sys.argv[1],'rb'))['maxParticles']))\" '" +
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
    ASSERT_TRUE(run.hasParticles()) << "the Particle item is missing from the program\n" << run.output();
    ASSERT_TRUE(run.openMainMenu());
    EXPECT_TRUE(chooseFirstCustomEffect(run));
    run.click(190, kAdd);
    EXPECT_TRUE(run.waitForLine("Deep.json can't be read")) << run.output();
    EXPECT_EQ(run.countInOutput("Deep.json"), 1) << run.output();
    // Still drawing: the about pane opens.
    run.click(480, 20);
    EXPECT_TRUE(run.waitForPixel(
        100, 560, [](const QColor& c) { return !nearlyBlack(c); }, 5.0));
    QFile::remove(storageFolder() + "Deep.json");
}

TEST(Embervale, editsOfATypeOutliveItsFirstEffectASaveAndARestartAndTheSavedEffectLooksTheSameInAPlainGame)
{
    QDir(storageFolder()).removeRecursively();
    QJsonObject edited;
    const QRect page(576, 77, 384, 563);
    const auto pageKnobs = [&](Embervale& run, int title) {
        EXPECT_TRUE(showPage(run, title));
        // At rest once two looks find the same knobs (effects behind the page may flicker on).
        std::vector<QPoint> last, now;
        EXPECT_TRUE(EngineProcess::waitFor(
            [&] {
                last = now;
                now = knobs(run.screenshot(), page);
                return !now.empty() && now == last;
            },
            10.0));
        return now;
    };
    {
        Embervale run;
        ASSERT_TRUE(run.hasParticles()) << "the Particle item is missing from the program\n" << run.output();
        // Two effects of the type.
        const QPoint first(200, 400);
        ASSERT_TRUE(placeEffect(run, first));
        ASSERT_TRUE(run.openMainMenu());
        EXPECT_TRUE(addEffect(run));
        ASSERT_TRUE(run.closeMainMenu());

        // A colour (End Color's red and green) and a number (Speed), each by a press on its groove, and a
        // point (Position Variance: its x knob is the one above Position X and Y, the page's last two).
        ASSERT_TRUE(run.openPropertiesMenu());
        std::vector<QPoint> found = pageKnobs(run, kColorPage);
        ASSERT_GE(found.size(), 2u);
        run.click(found[0].x() + 150, found[0].y());
        run.click(found[1].x() + 100, found[1].y());
        found = pageKnobs(run, kEmitterLocationPage);
        ASSERT_GE(found.size(), 3u);
        // A little only: a wide variance scatters the flame's start, where the test finds its emitter.
        const QPoint variance = found[found.size() - 3];
        run.drag(variance.x(), variance.y(), variance.x() + 4, variance.y(), 2);
        const QPoint speed = speedKnob(run);
        ASSERT_GE(speed.x(), 0);
        // Not much faster: a fast flame's start shows far past its emitter on a slow frame.
        run.click(speed.x() + 40, speed.y());
        ASSERT_TRUE(run.closePropertiesMenu());
        edited = effectJson(run, first);
        EXPECT_NE(edited.value("finishColor").toString(), "#000000");
        EXPECT_NE(edited.value("sourcePositionVariance").toString().remove(".0"), "0, 0");
        EXPECT_NE(edited.value("speed").toDouble(), 85);

        // Without its first effect the type still adds effects as edited, and saves them so.
        ASSERT_TRUE(run.openMainMenu());
        run.click(190, kRemoveFirst);
        EXPECT_TRUE(addEffect(run));
        run.click(190, kRemoveFirst);
        ASSERT_TRUE(run.closeMainMenu());
        std::string where = "the effect added after removing the first:";
        const QJsonObject added = flameEffectJson(run, where);
        EXPECT_FALSE(added.isEmpty()) << where;
        expectSameEffect(edited, added, where.c_str());
        ASSERT_TRUE(run.openMainMenu());
        run.click(190, kSaveAs);
        ASSERT_TRUE(run.answer("Save as", "Edited")) << run.output();
        ASSERT_TRUE(run.waitForLine("custom effect: Edited")) << run.output();
        const QJsonObject saved = QJsonDocument::fromJson(readAll(storageFolder() + "Edited.json"))
                                      .object()
                                      .value("Edited")
                                      .toObject();
        for (auto it = saved.begin(); it != saved.end(); ++it)
            EXPECT_FALSE(it.value().isNull()) << it.key().toStdString();
        expectSameEffect(edited, saved, "the saved file");
    }

    // Read back after a restart, the saved type is as it was edited.
    int lookInTheEditor = 0;
    {
        Embervale run;
        ASSERT_TRUE(run.hasParticles()) << run.output();
        ASSERT_TRUE(run.openMainMenu());
        EXPECT_TRUE(chooseFirstCustomEffect(run));
        run.click(190, kRemoveAll);
        EXPECT_TRUE(addEffect(run));
        ASSERT_TRUE(run.closeMainMenu());
        std::string where = "the effect loaded after a restart:";
        const QJsonObject loaded = flameEffectJson(run, where);
        ASSERT_FALSE(loaded.isEmpty()) << where;
        expectSameEffect(edited, loaded, where.c_str());
        ASSERT_TRUE(placeEffect(run, {480, 320}));
        // Once the particles left on the way are gone.
        const QRect look(400, 200, 500, 240);
        EXPECT_TRUE(EngineProcess::waitFor(
            [&] {
                const QImage image = run.screenshot();
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        if (!look.contains(x, y) && !stageChrome(x, y) && fire(image.pixelColor(x, y)))
                            return false;
                return true;
            },
            10.0));
        lookInTheEditor = firePixels(run.screenshot(), look);
    }

    // The file and the texture it names, copied into an empty folder, show the same in a plain game.
    const QByteArray savedText = readAll(storageFolder() + "Edited.json");
    EXPECT_FALSE(QRegularExpression("\"[A-Za-z]+\" *: *-?[0-9]+\\.0[,} ]")
                     .match(QString::fromUtf8(savedText))
                     .hasMatch())
        << "whole numbers are written without a decimal point: " << savedText.toStdString();
    const QString texture = QJsonDocument::fromJson(savedText)
                                .object()
                                .value("Edited")
                                .toObject()
                                .value("textureFileName")
                                .toString();
    ASSERT_FALSE(texture.isEmpty());
    EXPECT_FALSE(texture.startsWith(':') || texture.startsWith("qrc:") || QDir::isAbsolutePath(texture))
        << texture.toStdString();
    const QByteArray textureBytes = readAll(storageFolder() + texture);
    ASSERT_FALSE(textureBytes.isEmpty()) << "no texture beside the saved effect: " << texture.toStdString();
    EngineProcess game("Edited effect", R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    width: 960
    height: 640
    displayFpsEnabled: false
    Scene {
        width: 480
        height: 320
        Particle { x: 240; y: 160; fileName: "Edited.json"; autoStart: true }
    }
}
)",
                       {{"qml/Edited.json", savedText}, {"qml/" + texture.toStdString(), textureBytes}});
    int lookInTheGame = 0;
    EXPECT_TRUE(EngineProcess::waitFor(
        [&] {
            lookInTheGame = firePixels(game.screenshot(), QRect(400, 200, 500, 240));
            return lookInTheGame > lookInTheEditor / 2 && lookInTheGame < lookInTheEditor * 2;
        },
        10.0))
        << lookInTheGame << " fire pixels in the game, " << lookInTheEditor << " in the editor\n"
        << game.output();
}
