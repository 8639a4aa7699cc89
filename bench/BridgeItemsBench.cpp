// 1,000 Rectangles and 1,000 Images whose x and y run on looping NumberAnimations, shown for a while by the
// engine (items mirrored into the scene graph) and by Qt Quick's own renderer (the same QML in a shown
// QQuickView), one after the other under the same X server. Prints frames per second and CPU time per frame
// of both (the process's threads, and the X server's share) and their ratios.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/BridgeItemsBench [--seconds 10] [--warmup 2]
//
// The program runs itself twice, once per renderer, since the two need different Qt Quick back ends.

#include "zanthapplication.h"

#include "ZTDirector.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQmlContext>
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
#include <sstream>
#include <string>

namespace {

const char* const kItemsQml = R"(import QtQuick 2.15

Item {
    width: 960
    height: 640

    Repeater {
        model: 1000
        Rectangle {
            width: 10
            height: 10
            color: Qt.hsla((index % 97) / 97, 0.85, 0.55, 1.0)
            NumberAnimation on x {
                from: (index * 7) % 2 ? 0 : 950; to: (index * 7) % 2 ? 950 : 0
                duration: 1500 + (index * 37) % 2500; loops: Animation.Infinite
            }
            NumberAnimation on y {
                from: index % 3 ? 0 : 630; to: index % 3 ? 630 : 0
                duration: 1300 + (index * 53) % 2700; loops: Animation.Infinite
            }
        }
    }

    Repeater {
        model: 1000
        Image {
            source: "item16.png"
            width: 16
            height: 16
            NumberAnimation on x {
                from: index % 2 ? 0 : 944; to: index % 2 ? 944 : 0
                duration: 1700 + (index * 41) % 2300; loops: Animation.Infinite
            }
            NumberAnimation on y {
                from: (index * 5) % 3 ? 624 : 0; to: (index * 5) % 3 ? 0 : 624
                duration: 1100 + (index * 29) % 2900; loops: Animation.Infinite
            }
        }
    }
}
)";

struct Options
{
    double seconds = 10;
    double warmup = 2;
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the X server of this display (the Xvfb process whose command line names it); 0 when
// it cannot be found.
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

// Counts frames between the end of the warm-up and the end of the run, with the CPU time spent meanwhile,
// and prints one RESULT line.
class Measurement
{
public:
    Measurement(const char* renderer, const Options& options) : m_renderer(renderer), m_options(options) {}

    void start(const std::function<long long()>& frameCount, const std::function<void()>& finished)
    {
        QTimer::singleShot(int(m_options.warmup * 1000), [this, frameCount] {
            m_frames = frameCount();
            m_cpu = processCpuSeconds();
            m_xServer = xServerCpuSeconds();
            m_clock.start();
        });
        QTimer::singleShot(int((m_options.warmup + m_options.seconds) * 1000), [this, frameCount, finished] {
            const double seconds = m_clock.elapsed() / 1000.0;
            const long long frames = frameCount() - m_frames;
            const double cpu = processCpuSeconds() - m_cpu;
            const double xServer = xServerCpuSeconds() - m_xServer;
            std::printf(
                "RESULT renderer=%s fps=%.2f cpu_ms_per_frame=%.3f xserver_ms_per_frame=%.3f cores=%.2f\n",
                m_renderer, frames / seconds, frames ? 1000.0 * cpu / frames : 0.0,
                frames ? 1000.0 * xServer / frames : 0.0, cpu / seconds);
            std::fflush(stdout);
            finished();
        });
    }

private:
    const char* m_renderer;
    Options m_options;
    QElapsedTimer m_clock;
    long long m_frames = 0;
    double m_cpu = 0;
    double m_xServer = 0;
};

// Writes the QML, its 16 x 16 image (drawn here) and a publish-stage configuration into the folder.
void writeScene(const QString& folder)
{
    QDir().mkpath(folder + "/qml");
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient gradient(8, 8, 8);
        gradient.setColorAt(0, QColor(255, 255, 200));
        gradient.setColorAt(1, QColor(40, 120, 255));
        painter.setBrush(gradient);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0, 0, 16, 16));
    }
    image.save(folder + "/qml/item16.png", "PNG");
    std::ofstream(QString(folder + "/qml/main.qml").toStdString()) << kItemsQml;
    // A publish stage keeps the log quiet, as a shipped game's.
    std::ofstream(QString(folder + "/qml/config.json").toStdString())
        << "{ \"title\": \"Zanth items benchmark\", \"stage\": \"publish\" }\n";
}

int runEngine(int argc, char** argv, const Options& options)
{
    ZanthApplication application(argc, argv);
    application.setQmlRendererEnabled(false);
    Measurement measurement("zanth", options);
    measurement.start([] { return (long long)zanth2d::ZTDirector::sharedDirector()->getTotalFrames(); },
                      [&application] { application.quitApp(); });
    return application.startApplication();
}

int runQtQuick(int argc, char** argv, const Options& options, const QString& folder)
{
    QGuiApplication application(argc, argv);
    QQuickView view;
    view.setColor(Qt::black);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl::fromLocalFile(folder + "/qml/main.qml"));
    if (view.status() != QQuickView::Ready)
        return 2;
    view.resize(960, 640);
    view.show();
    long long frames = 0;
    QObject::connect(&view, &QQuickWindow::frameSwapped, [&frames] { ++frames; });
    Measurement measurement("qtquick", options);
    measurement.start([&frames] { return frames; }, [&application] { application.quit(); });
    return application.exec();
}

// Runs this program in the given mode and returns its RESULT line.
std::string runChild(const char* self, const char* mode, const Options& options, const QString& folder)
{
    const std::string output = QString(folder + "/" + mode + ".txt").toStdString();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.toLocal8Bit().constData()) != 0)
            _exit(126);
        if (!std::freopen(output.c_str(), "w", stdout))
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
