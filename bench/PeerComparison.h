#pragma once

// What the engine-against-Qt-Quick benchmarks share. Each program runs itself as children, one per
// renderer (the two need different Qt Quick back ends), under the same X server:
// - "zanth" and "qtquick" count frames between the end of the warm-up and the end of the run with the CPU
//   time spent meanwhile, and print one RESULT line with the process's peak resident memory;
// - "zanth-shot" and "qtquick-shot" drive QML's animation clock by hand, a sixtieth of a second a step,
//   and write a screenshot of the window at the same game time (skipped under GALLIUM_NOOP, which draws
//   nothing).
// The parent prints both RESULT lines, their ratios and how far apart the two screenshots are. Everything
// a run leaves (the children's output, the screenshots and, with --profile, a perf profile of each
// measured child) goes into the output folder, by default a folder named after the program beside it.
//
// CPU time per frame moves by a third from one run to the next on a shared machine (where the threads
// land, what else runs): with --rounds N both sides run N times, taking turns, and the RESULT lines give
// the median of each figure with the lowest and highest CPU time per frame beside it.
//
// --only zanth (or qtquick) runs one side alone, to compare two builds of it.
//
//   PROGRAM [--seconds S] [--warmup W] [--rounds N] [--only SIDE] [--output DIR] [--no-shots] [--profile]

#include "qmlapplicationviewer.h"
#include "zanthapplication.h"

#include "ZTDirector.h"
#include "platform/linux/ZTEGLView.h"

#include <GL/gl.h>

#include <QAnimationDriver>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QQmlContext>
#include <QQuickView>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace peers {

struct Options
{
    Options(double seconds_, double warmup_) : seconds(seconds_), warmup(warmup_) {}

    double seconds = 10;
    double warmup = 2;
    int rounds = 1;
    // Game time of the screenshots, seconds.
    double shotTime = 1.5;
    bool shots = true;
    bool profile = false;
    // Empty for both sides, else the one side to run.
    std::string only;
    QString output;
    // Set in a screenshot child: where the picture goes.
    QString shotFile;
};

inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The process's peak resident set (VmHWM), in megabytes; 0 when it cannot be read.
inline double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

// Whether Mesa draws nothing in this process (GALLIUM_NOOP set to a true value).
inline bool rasteriserOff()
{
    const char* value = std::getenv("GALLIUM_NOOP");
    return value && *value && std::strcmp(value, "0") != 0 && std::strcmp(value, "false") != 0;
}

// CPU seconds of the X server of this display (the Xvfb process whose command line names it); 0 when it
// cannot be found.
inline double xServerCpuSeconds()
{
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    const QStringList processes = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : processes) {
        QFile cmdline("/proc/" + pid + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (args.isEmpty() || !args.first().endsWith("Xvfb") ||
            !args.contains(QByteArray::fromStdString(display)))
            continue;
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return fields.size() > 12 ? double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) /
                                        double(sysconf(_SC_CLK_TCK))
                                  : 0;
    }
    return 0;
}

// QML's animation clock in a screenshot child: it moves only when stepped, so both renderers show the
// same game time after the same number of steps. Installed before the renderer's own clock, which Qt
// then refuses.
class SteppedClock : public QAnimationDriver
{
public:
    static constexpr double kStepMilliseconds = 1000.0 / 60.0;

    void step()
    {
        m_elapsedMilliseconds += kStepMilliseconds;
        if (isRunning())
            advance();
    }
    qint64 elapsed() const override { return qint64(std::llround(m_elapsedMilliseconds)); }

protected:
    void start() override
    {
        m_elapsedMilliseconds = 0;
        QAnimationDriver::start();
    }

private:
    double m_elapsedMilliseconds = 0;
};

// Measures the running child and prints its RESULT line; `live` adds a count of live objects when the
// benchmark has one (-1 leaves it out).
inline void measure(
    const char* renderer, const Options& options, const std::function<long long()>& frameCount,
    const std::function<void()>& finished, const std::function<int()>& live = [] { return -1; })
{
    struct State
    {
        QElapsedTimer clock;
        long long frames = 0;
        double cpu = 0;
        double xServer = 0;
    };
    auto state = std::make_shared<State>();
    QTimer::singleShot(int(options.warmup * 1000), [state, frameCount] {
        // The X server is looked for in /proc first: that search is not the renderer's work.
        state->xServer = xServerCpuSeconds();
        state->frames = frameCount();
        state->cpu = processCpuSeconds();
        state->clock.start();
    });
    QTimer::singleShot(int((options.warmup + options.seconds) * 1000), [=] {
        const double seconds = state->clock.elapsed() / 1000.0;
        const long long frames = frameCount() - state->frames;
        const double cpu = processCpuSeconds() - state->cpu;
        const double xServer = xServerCpuSeconds() - state->xServer;
        std::printf("RESULT renderer=%s fps=%.2f cpu_ms_per_frame=%.3f xserver_ms_per_frame=%.3f cores=%.2f "
                    "peak_mb=%.1f",
                    renderer, frames / seconds, frames ? 1000.0 * cpu / frames : 0.0,
                    frames ? 1000.0 * xServer / frames : 0.0, cpu / seconds, peakResidentMegabytes());
        if (const int count = live(); count >= 0)
            std::printf(" live=%d", count);
        std::printf("\n");
        std::fflush(stdout);
        finished();
    });
}

// In a screenshot child: once the first frames are out, steps the clock once a tick until the game time
// of the screenshot, waits until frameCount has moved on by two (so the last step is on screen), takes
// the picture with grab and saves it.
inline void shoot(const char* renderer, const Options& options, SteppedClock& clock,
                  const std::function<long long()>& frameCount, const std::function<QImage()>& grab,
                  const std::function<void()>& finished)
{
    struct State
    {
        int steps = 0;
        long long lastStepFrame = -1;
    };
    const int steps = int(std::lround(options.shotTime * 60));
    auto state = std::make_shared<State>();
    auto* timer = new QTimer();
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [=, &clock] {
        const long long frames = frameCount();
        if (state->steps == 0 && frames < 2)
            return;
        if (state->steps < steps) {
            // One step a frame: the renderer draws each step as it would while running.
            if (frames == state->lastStepFrame)
                return;
            clock.step();
            ++state->steps;
            state->lastStepFrame = frames;
            return;
        }
        if (frames < state->lastStepFrame + 2)
            return;
        timer->stop();
        const QImage image = grab();
        const bool saved = !image.isNull() && image.save(options.shotFile, "PNG");
        std::printf("SHOT renderer=%s game_time=%.3f steps=%d file=%s%s\n", renderer,
                    steps * SteppedClock::kStepMilliseconds / 1000.0, steps,
                    options.shotFile.toLocal8Bit().constData(), saved ? "" : " (not saved)");
        std::fflush(stdout);
        timer->deleteLater();
        finished();
    });
    timer->start();
}

// The engine's window as last shown, origin top left. The software driver swaps by copying, so the back
// buffer still holds the frame just shown.
inline QImage grabEngineWindow()
{
    const zanth2d::ZTSize size = zanth2d::ZTEGLView::sharedOpenGLView()->getSize();
    QImage image(int(size.width), int(size.height), QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, image.width(), image.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

inline long long engineFrames()
{
    return (long long)zanth2d::ZTDirector::sharedDirector()->getTotalFrames();
}

// Writes a file of the scene folder's qml/ folder.
inline void writeSceneFile(const QString& folder, const QString& name, const char* text)
{
    QDir().mkpath(folder + "/qml");
    std::ofstream(QString(folder + "/qml/" + name).toStdString()) << text;
}

// The engine's configuration: a publish stage keeps the log quiet, as a shipped game's.
inline void writeConfig(const QString& folder, const char* title)
{
    QDir().mkpath(folder + "/qml");
    std::ofstream(QString(folder + "/qml/config.json").toStdString())
        << "{ \"title\": \"" << title << "\", \"stage\": \"publish\" }\n";
}

// What a child's run needs beside the options: set by the program before handing over.
struct Side
{
    // The QML file the renderer loads, relative to the scene folder's qml/ (the engine always loads
    // main.qml, its application's main file).
    QString qtQuickFile = "main.qml";
    // Called with the made view before it loads its QML (Qt Quick only).
    std::function<void(QQuickView&)> prepareQtQuickView;
    // Live objects for the RESULT line; -1 leaves them out.
    std::function<int(ZanthApplication&)> engineLive;
    std::function<int(QQuickView&)> qtQuickLive;
};

// The engine child: the application as a game runs it, QML mirrored into the scene graph.
inline int runEngine(int argc, char** argv, const Options& options, const Side& side, bool shot)
{
    ZanthApplication application(argc, argv);
    application.setQmlRendererEnabled(false);
    // Before the bridge installs its game-time clock, which Qt then refuses.
    SteppedClock clock;
    if (shot)
        clock.install();
    application.declarativeView()->rootContext()->setContextProperty("benchShot", shot);
    application.declarativeView()->rootContext()->setContextProperty("benchShotTime",
                                                                     options.shotTime * 1000.0);
    if (shot) {
        shoot("zanth", options, clock, engineFrames, grabEngineWindow,
              [&application] { application.quitApp(); });
    } else {
        const auto live = [&application, &side] {
            return side.engineLive ? side.engineLive(application) : -1;
        };
        measure(
            "zanth", options, engineFrames, [&application] { application.quitApp(); }, live);
    }
    return application.startApplication();
}

// The Qt Quick child: the same scene in a shown QQuickView, drawn by Qt Quick's own renderer.
inline int runQtQuick(int argc, char** argv, const Options& options, const Side& side, bool shot)
{
    QGuiApplication application(argc, argv);
    SteppedClock clock;
    if (shot)
        clock.install();
    QQuickView view;
    // The engine clears its window to black.
    view.setColor(Qt::black);
    view.rootContext()->setContextProperty("benchShot", shot);
    view.rootContext()->setContextProperty("benchShotTime", options.shotTime * 1000.0);
    if (side.prepareQtQuickView)
        side.prepareQtQuickView(view);
    view.setSource(QUrl::fromLocalFile(QDir::currentPath() + "/qml/" + side.qtQuickFile));
    if (view.status() != QQuickView::Ready)
        return 2;
    view.show();
    long long frames = 0;
    QObject::connect(&view, &QQuickWindow::frameSwapped, [&frames] { ++frames; });
    const auto frameCount = [&frames] { return frames; };
    if (shot) {
        // Qt Quick draws only what changed: a still scene swaps no frames while the clock is stepped.
        QTimer redraw;
        QObject::connect(&redraw, &QTimer::timeout, &view, &QQuickWindow::update);
        redraw.start(16);
        shoot(
            "qtquick", options, clock, frameCount,
            [&view] { return view.grabWindow().convertToFormat(QImage::Format_RGB32); },
            [&application] { application.quit(); });
        return application.exec();
    }
    const auto live = [&view, &side] { return side.qtQuickLive ? side.qtQuickLive(view) : -1; };
    measure(
        "qtquick", options, frameCount, [&application] { application.quit(); }, live);
    return application.exec();
}

// Runs this program in the given mode in the scene folder; returns its RESULT or SHOT line. What it
// leaves is named after the mode, and after the round when there are several; only the first round is
// profiled.
inline std::string runChild(const char* self, const char* mode, const Options& options, const QString& folder,
                            int round = 0)
{
    const QString name = options.rounds > 1 && !std::strstr(mode, "shot")
                             ? QString("%1-%2").arg(mode).arg(round + 1)
                             : QString(mode);
    const std::string output = QString(options.output + "/" + name + ".txt").toStdString();
    const bool profiled = options.profile && !std::strstr(mode, "shot") && round == 0;
    const std::string profile = QString(options.output + "/" + QString(mode) + ".perf.data").toStdString();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.toLocal8Bit().constData()) != 0 || !std::freopen(output.c_str(), "w", stdout) ||
            !std::freopen(output.c_str(), "a", stderr))
            _exit(126);
        const std::string seconds = std::to_string(options.seconds);
        const std::string warmup = std::to_string(options.warmup);
        const std::string shotTime = std::to_string(options.shotTime);
        const std::string shotFile = QString(options.output + "/" + mode + ".png").toStdString();
        std::vector<const char*> args;
        // The profile starts with the measured interval: the start and the warm-up are left out.
        const std::string delay = std::to_string(int(options.warmup * 1000));
        if (profiled) {
            for (const char* arg :
                 {"perf", "record", "-q", "-g", "-F", "1999", "-D", delay.c_str(), "-o", profile.c_str(), "--"})
                args.push_back(arg);
        }
        for (const char* arg : {self, mode, "--seconds", seconds.c_str(), "--warmup", warmup.c_str(),
                                "--shot-time", shotTime.c_str(), "--shot-file", shotFile.c_str()})
            args.push_back(arg);
        args.push_back(nullptr);
        execvp(args.front(), const_cast<char* const*>(args.data()));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("RESULT", 0) == 0 || line.rfind("SHOT", 0) == 0)
            return line;
    }
    return {};
}

inline double field(const std::string& result, const std::string& name)
{
    const size_t at = result.find(" " + name + "=");
    return at == std::string::npos ? 0 : std::atof(result.c_str() + at + name.size() + 2);
}

// One RESULT line of several rounds' lines of one renderer: the median of each figure (the lower middle of
// an even count), and the range of the CPU time per frame. Empty when a round gave no result.
inline std::string medianResult(const char* renderer, const std::vector<std::string>& rounds)
{
    if (rounds.empty())
        return {};
    for (const std::string& result : rounds) {
        if (result.empty())
            return {};
    }
    if (rounds.size() == 1)
        return rounds.front();
    const auto median = [&rounds](const char* name) {
        std::vector<double> values;
        for (const std::string& result : rounds)
            values.push_back(field(result, name));
        std::sort(values.begin(), values.end());
        return values[(values.size() - 1) / 2];
    };
    std::vector<double> cpu;
    for (const std::string& result : rounds)
        cpu.push_back(field(result, "cpu_ms_per_frame"));
    char line[512];
    int length = std::snprintf(
        line, sizeof(line),
        "RESULT renderer=%s fps=%.2f cpu_ms_per_frame=%.3f xserver_ms_per_frame=%.3f cores=%.2f peak_mb=%.1f",
        renderer, median("fps"), median("cpu_ms_per_frame"), median("xserver_ms_per_frame"), median("cores"),
        median("peak_mb"));
    if (rounds.front().find(" live=") != std::string::npos)
        length += std::snprintf(line + length, sizeof(line) - size_t(length), " live=%.0f", median("live"));
    std::snprintf(line + length, sizeof(line) - size_t(length),
                  " rounds=%zu cpu_ms_per_frame_min=%.3f cpu_ms_per_frame_max=%.3f", rounds.size(),
                  *std::min_element(cpu.begin(), cpu.end()), *std::max_element(cpu.begin(), cpu.end()));
    return line;
}

// How far apart the two screenshots are: the mean difference of all channels (0 to 255) and the share
// of pixels where a channel differs by more than 48; empty when either is missing or the sizes differ.
inline std::string compareShots(const QString& engineFile, const QString& quickFile)
{
    const QImage engine = QImage(engineFile).convertToFormat(QImage::Format_RGB32);
    const QImage quick = QImage(quickFile).convertToFormat(QImage::Format_RGB32);
    if (engine.isNull() || quick.isNull())
        return {};
    if (engine.size() != quick.size())
        return "COMPARE size_zanth=" + std::to_string(engine.width()) + "x" +
               std::to_string(engine.height()) + " size_qtquick=" + std::to_string(quick.width()) + "x" +
               std::to_string(quick.height());
    double sum = 0;
    long long differing = 0;
    for (int y = 0; y < engine.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(engine.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(quick.constScanLine(y));
        for (int x = 0; x < engine.width(); ++x) {
            const int dr = std::abs(qRed(a[x]) - qRed(b[x]));
            const int dg = std::abs(qGreen(a[x]) - qGreen(b[x]));
            const int db = std::abs(qBlue(a[x]) - qBlue(b[x]));
            sum += dr + dg + db;
            if (dr > 48 || dg > 48 || db > 48)
                ++differing;
        }
    }
    const double pixels = double(engine.width()) * engine.height();
    char line[160];
    std::snprintf(line, sizeof(line), "COMPARE mean_difference=%.2f differing_pixels=%.2f%%",
                  sum / (3 * pixels), 100.0 * double(differing) / pixels);
    return line;
}

// The whole program: a child given a mode runs it in the current folder; the parent writes the scene
// into a temporary folder, runs the children there and prints their figures.
inline int compare(int argc, char** argv, Options options, const Side& side,
                   const std::function<void(const QString&)>& writeScene)
{
    const char* mode = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            options.seconds = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc)
            options.warmup = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            options.rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--shot-time") && i + 1 < argc)
            options.shotTime = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--shot-file") && i + 1 < argc)
            options.shotFile = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--output") && i + 1 < argc)
            options.output = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            options.only = argv[++i];
        else if (!std::strcmp(argv[i], "--no-shots"))
            options.shots = false;
        else if (!std::strcmp(argv[i], "--profile"))
            options.profile = true;
        else if (argv[i][0] != '-')
            mode = argv[i];
    }
    if (mode) {
        const bool shot = std::strstr(mode, "-shot") != nullptr;
        if (!std::strncmp(mode, "zanth", 5))
            return runEngine(argc, argv, options, side, shot);
        return runQtQuick(argc, argv, options, side, shot);
    }

    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return 1;
    if (options.output.isEmpty())
        options.output = QString::fromLocal8Bit(self) + ".out";
    options.output = QDir(options.output).absolutePath();
    QDir().mkpath(options.output);
    QTemporaryDir folder;
    writeScene(folder.path());
    std::vector<std::string> engineRounds;
    std::vector<std::string> quickRounds;
    for (int round = 0; round < options.rounds; ++round) {
        if (options.only != "qtquick")
            engineRounds.push_back(runChild(self, "zanth", options, folder.path(), round));
        if (options.only != "zanth")
            quickRounds.push_back(runChild(self, "qtquick", options, folder.path(), round));
    }
    const std::string engine = medianResult("zanth", engineRounds);
    const std::string quick = medianResult("qtquick", quickRounds);
    if (!options.only.empty()) {
        std::printf("%s\n", (engine.empty() ? quick : engine).c_str());
        return engine.empty() && quick.empty() ? 1 : 0;
    }
    std::printf("%s\n%s\n", engine.c_str(), quick.c_str());
    if (options.shots && !rasteriserOff()) {
        std::printf("%s\n", runChild(self, "zanth-shot", options, folder.path()).c_str());
        std::printf("%s\n", runChild(self, "qtquick-shot", options, folder.path()).c_str());
        const std::string difference =
            compareShots(options.output + "/zanth-shot.png", options.output + "/qtquick-shot.png");
        if (!difference.empty())
            std::printf("%s\n", difference.c_str());
    }
    if (engine.empty() || quick.empty())
        return 1;
    std::printf("RATIO fps zanth/qtquick=%.2f cpu_per_frame zanth/qtquick=%.2f peak zanth/qtquick=%.2f\n",
                field(engine, "fps") / field(quick, "fps"),
                field(engine, "cpu_ms_per_frame") / field(quick, "cpu_ms_per_frame"),
                field(engine, "peak_mb") / field(quick, "peak_mb"));
    return 0;
}

} // namespace peers
