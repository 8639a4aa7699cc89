// 10,000 live particles from QML: the engine's Particle item against Qt Quick's own particle system (an
// Emitter and an ImageParticle), with the same 32 x 32 texture, size 24 +- 8 px, rate 4,000 per second
// and lifespan 2.5 s, emitted upwards at 350 +- 100 px/s under a gravity of 200 px/s^2, one after the other
// under the same X server. Prints frames per second and CPU time per frame of both (the process's threads,
// and the X server's share) and their ratios.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/ParticleQmlBench [--seconds 10] [--warmup 3]
//
// The program runs itself twice, once per renderer, since the two need different Qt Quick back ends.

#include "items/particleitem.h"
#include "qmlapplicationviewer.h"
#include "zanthapplication.h"

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQuickView>
#include <QRadialGradient>
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

namespace {

// Emission rate = maxParticles / particleLifespan = 4,000 per second, so 10,000 particles live.
const char* const kEngineQml = R"(import QtQuick 2.15
import Zanth 1.0

GameWindow {
    width: 960
    height: 640
    displayFpsEnabled: false

    Particle {
        x: 480; y: 570
        rotation: -90
        autoStart: true
        textureFileName: "particle32.png"
        maxParticles: 10000
        particleLifespan: 2.5
        speed: 350; speedVariance: 100
        angleVariance: 40
        gravity: Qt.point(0, -200)
        sourcePositionVariance: Qt.point(10, 10)
        startParticleSize: 24; startParticleSizeVariance: 8
        finishParticleSize: -1
        startColor: "#ff9040"; startColorAlpha: 0.8
        startColorVariance: "#808080"; startColorVarianceAlpha: 0
        finishColor: "#ff9040"; finishColorAlpha: 0
        blendFuncSource: Particle.GL_SRC_ALPHA; blendFuncDestination: Particle.GL_ONE_MINUS_SRC_ALPHA
    }
}
)";

const char* const kQtQuickQml = R"(import QtQuick
import QtQuick.Particles

Rectangle {
    width: 960
    height: 640
    color: "black"

    ParticleSystem { id: particles }

    Emitter {
        system: particles
        x: 470; y: 560; width: 20; height: 20
        emitRate: 4000
        lifeSpan: 2500
        size: 24
        sizeVariation: 8
        velocity: AngleDirection { angle: 270; angleVariation: 40; magnitude: 350; magnitudeVariation: 100 }
    }
    ImageParticle {
        system: particles
        source: "particle32.png"
        color: "#ff9040"
        colorVariation: 0.5
        alpha: 0.8
        entryEffect: ImageParticle.Fade
    }
    Gravity { system: particles; magnitude: 200; angle: 90 }
}
)";

struct Options
{
    double seconds = 10;
    double warmup = 3;
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the X server of this display; 0 when it cannot be found.
double xServerCpuSeconds()
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

// Counts frames between the end of the warm-up (longer than a lifespan: the pool is full) and the end of
// the run, with the CPU time spent meanwhile, and prints one RESULT line.
void measure(
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
        std::printf("RESULT renderer=%s fps=%.2f cpu_ms_per_frame=%.3f xserver_ms_per_frame=%.3f cores=%.2f "
                    "live=%d\n",
                    renderer, frames / seconds, frames ? 1000.0 * cpu / frames : 0.0,
                    frames ? 1000.0 * xServer / frames : 0.0, cpu / seconds, live());
        std::fflush(stdout);
        finished();
    });
}

// Writes both scenes, their texture (a soft round spot drawn here) and a publish-stage configuration.
void writeScenes(const QString& folder)
{
    QDir().mkpath(folder + "/qml");
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        QRadialGradient gradient(16, 16, 16);
        gradient.setColorAt(0, QColor(255, 255, 255, 255));
        gradient.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setBrush(gradient);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0, 0, 32, 32));
    }
    image.save(folder + "/qml/particle32.png", "PNG");
    std::ofstream(QString(folder + "/qml/main.qml").toStdString()) << kEngineQml;
    std::ofstream(QString(folder + "/qml/quick.qml").toStdString()) << kQtQuickQml;
    std::ofstream(QString(folder + "/qml/config.json").toStdString())
        << "{ \"title\": \"Zanth particles benchmark\", \"stage\": \"publish\" }\n";
}

int runEngine(int argc, char** argv, const Options& options)
{
    ZanthApplication application(argc, argv);
    application.setQmlRendererEnabled(false);
    // The live particles of the one emitter, to show that the pool is full (-1 without an emitter).
    const auto live = [&application] {
        QQuickItem* root = application.declarativeView()->rootObject();
        auto* item = root ? root->findChild<ParticleItem*>() : nullptr;
        zanth2d::ZTNode* node = item ? item->getZTNode() : nullptr;
        if (!node || node->getChildrenCount() == 0)
            return -1;
        auto* particles = dynamic_cast<zanth2d::ZTParticleSystem*>(node->getChildren()->lastObject());
        return particles ? int(particles->getParticleCount()) : -1;
    };
    measure(
        "zanth", options, [] { return (long long)zanth2d::ZTDirector::sharedDirector()->getTotalFrames(); },
        [&application] { application.quitApp(); }, live);
    return application.startApplication();
}

int runQtQuick(int argc, char** argv, const Options& options, const QString& folder)
{
    QGuiApplication application(argc, argv);
    QQuickView view;
    view.setSource(QUrl::fromLocalFile(folder + "/qml/quick.qml"));
    if (view.status() != QQuickView::Ready)
        return 2;
    view.show();
    long long frames = 0;
    QObject::connect(&view, &QQuickWindow::frameSwapped, [&frames] { ++frames; });
    measure(
        "qtquick", options, [&frames] { return frames; }, [&application] { application.quit(); });
    return application.exec();
}

// Runs this program in the given mode and returns its RESULT line.
std::string runChild(const char* self, const char* mode, const Options& options, const QString& folder)
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

double field(const std::string& result, const std::string& name)
{
    const size_t at = result.find(" " + name + "=");
    return at == std::string::npos ? 0 : std::atof(result.c_str() + at + name.size() + 2);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
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
    writeScenes(folder.path());
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
