#pragma once

// What the engine-against-Qt-Quick benchmarks share: each runs itself twice, once per renderer (the two need
// different Qt Quick back ends), under the same X server; each child counts frames between the end of the
// warm-up and the end of the run with the CPU time spent meanwhile and prints one RESULT line, and the parent
// prints both lines and their ratios.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace peers {

struct Options
{
    double seconds = 10;
    double warmup = 2;
};

inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
        state->frames = frameCount();
        state->cpu = processCpuSeconds();
        state->xServer = xServerCpuSeconds();
        state->clock.start();
    });
    QTimer::singleShot(int((options.warmup + options.seconds) * 1000), [=] {
        const double seconds = state->clock.elapsed() / 1000.0;
        const long long frames = frameCount() - state->frames;
        const double cpu = processCpuSeconds() - state->cpu;
        const double xServer = xServerCpuSeconds() - state->xServer;
        std::printf("RESULT renderer=%s fps=%.2f cpu_ms_per_frame=%.3f xserver_ms_per_frame=%.3f cores=%.2f",
                    renderer, frames / seconds, frames ? 1000.0 * cpu / frames : 0.0,
                    frames ? 1000.0 * xServer / frames : 0.0, cpu / seconds);
        if (const int count = live(); count >= 0)
            std::printf(" live=%d", count);
        std::printf("\n");
        std::fflush(stdout);
        finished();
    });
}

// Runs this program in the given mode and returns its RESULT line.
inline std::string runChild(const char* self, const char* mode, const Options& options, const QString& folder)
{
    const std::string output = QString(folder + "/" + mode + ".txt").toStdString();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.toLocal8Bit().constData()) != 0 || !std::freopen(output.c_str(), "w", stdout))
            _exit(126);
        const std::string seconds = std::to_string(options.seconds);
        const std::string warmup = std::to_string(options.warmup);
        execl(self, self, mode, "--seconds", seconds.c_str(), "--warmup", warmup.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("RESULT", 0) == 0)
            return line;
    }
    return {};
}

inline double field(const std::string& result, const std::string& name)
{
    const size_t at = result.find(" " + name + "=");
    return at == std::string::npos ? 0 : std::atof(result.c_str() + at + name.size() + 2);
}

using EngineRun = std::function<int(int, char**, const Options&)>;
using QtQuickRun = std::function<int(int, char**, const Options&, const QString& folder)>;

// The whole program: a child given "zanth" or "qtquick" runs that renderer in the current folder; the parent
// writes the scene into a temporary folder, runs both children there and prints their figures.
inline int compare(int argc, char** argv, Options options, const EngineRun& runEngine,
                   const QtQuickRun& runQtQuick, const std::function<void(const QString&)>& writeScene)
{
    const char* mode = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            options.seconds = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc)
            options.warmup = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "zanth") || !std::strcmp(argv[i], "qtquick"))
            mode = argv[i];
    }
    if (mode && !std::strcmp(mode, "zanth"))
        return runEngine(argc, argv, options);
    if (mode)
        return runQtQuick(argc, argv, options, QDir::currentPath());

    QTemporaryDir folder;
    writeScene(folder.path());
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return 1;
    const std::string engine = runChild(self, "zanth", options, folder.path());
    const std::string quick = runChild(self, "qtquick", options, folder.path());
    std::printf("%s\n%s\n", engine.c_str(), quick.c_str());
    if (engine.empty() || quick.empty())
        return 1;
    std::printf("RATIO fps zanth/qtquick=%.2f cpu_per_frame zanth/qtquick=%.2f\n",
                field(engine, "fps") / field(quick, "fps"),
                field(engine, "cpu_ms_per_frame") / field(quick, "cpu_ms_per_frame"));
    return 0;
}

} // namespace peers
