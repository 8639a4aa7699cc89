// A game with sound started the way its main() does: it runs and quits with status 0 with or without
// an audio device, and on its way out the application delegate ends the sound engine, so the device
// is closed and the captured output is complete.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <fstream>

#include "AudioCapture.h"
#include "TestFiles.h"
#include "TestProgramPath.h"
#include "ToneFile.h"
#include "VisibleWindowLock.h"

namespace {

const char* const kSoundMain = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 320
    height: 240
    BackgroundMusic {
        id: music
        source: "music.wav"
    }
    Sound {
        id: effect
        source: "effect.wav"
    }
    Timer {
        interval: 50
        running: true
        onTriggered: {
            music.play()
            effect.play()
            console.log("music playing:", music.playing)
            quit.start()
        }
    }
    // Counted from the start of the music: a slow start-up must not shorten what is played.
    Timer {
        id: quit
        interval: 900
        onTriggered: Qt.quit()
    }
}
)";

// Music that waits for the game to start it: nothing the window system does at the start may start it.
const char* const kWaitingMusicMain = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: game
    displayFpsEnabled: false
    BackgroundMusic {
        id: music
        source: "music.wav"
        autoPlay: false
    }
    onApplicationPaused: console.log("application paused")
    onApplicationResumed: console.log("application resumed")
    Timer {
        interval: 2000
        running: true
        onTriggered: {
            console.log("music playing:", music.playing)
            Qt.quit()
        }
    }
}
)";

struct GameRun
{
    int exitCode = -1;
    QString output;
};

// Where each thread of a process stands, when a debugger is at hand: a game that does not end is
// reported with its stacks, which show what its shutdown waits for.
QString threadsOf(qint64 pid)
{
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral("gdb"), {QStringLiteral("-p"), QString::number(pid), QStringLiteral("-batch"),
                                      QStringLiteral("-ex"), QStringLiteral("thread apply all bt")});
    if (!gdb.waitForFinished(60000)) {
        gdb.kill();
        gdb.waitForFinished();
    }
    return QStringLiteral("\n--- threads of the game that did not end ---\n") +
           QString::fromLocal8Bit(gdb.readAll());
}

// Runs the start-up program in a folder holding the game's qml/ files, with extra environment.
GameRun runGame(const QProcessEnvironment& environment, const char* mainQml = kSoundMain)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("qml/config.json"),
                  "{ \"title\": \"Zanth sound check\", \"stage\": \"test\" }");
    writeTestFile(dir.filePath("qml/main.qml"), mainQml);
    Tone tone;
    tone.seconds = 1.0;
    writeToneWav(dir.filePath("qml/music.wav").toStdString(), tone);
    tone.seconds = 0.2;
    writeToneWav(dir.filePath("qml/effect.wav").toStdString(), tone);

    QProcess game;
    game.setWorkingDirectory(dir.path());
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::MergedChannels);
    game.start(QString::fromStdString(testProgramPath("StartupProgram")), {});
    GameRun run;
    QString threads;
    if (!game.waitForFinished(30000)) {
        threads = threadsOf(game.processId());
        game.kill();
        game.waitForFinished();
    } else if (game.exitStatus() == QProcess::NormalExit) {
        run.exitCode = game.exitCode();
    }
    run.output = QString::fromLocal8Bit(game.readAll()) + threads;
    return run;
}

const VisibleWindowLock g_windowLock;

} // namespace

TEST(SoundStartup, aGameWithSoundRunsAndQuitsWithoutAnAudioDevice)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ALSOFT_CONF"));
    environment.insert(QStringLiteral("ALSOFT_DRIVERS"), QStringLiteral("nosuch"));
    const GameRun run = runGame(environment);
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("music playing: false"))) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("exit 0"))) << run.output.toStdString();
}

// The game's sound output goes to the capture file.
QProcessEnvironment capturingEnvironment(const std::string& capture)
{
    const std::string config = capture + ".conf";
    std::ofstream(config) << "[general]\ndrivers=wave\n[wave]\nfile=" << capture << "\n";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ALSOFT_DRIVERS"));
    environment.insert(QStringLiteral("ALSOFT_CONF"), QString::fromStdString(config));
    return environment;
}

TEST(SoundStartup, aCleanExitClosesTheDeviceAndLeavesACompleteCapture)
{
    const std::string capture = AudioCapture::temporaryCapturePath();
    const GameRun run = runGame(capturingEnvironment(capture));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("music playing: true"))) << run.output.toStdString();

    const AudioCapture::Wave wave = AudioCapture::read(capture);
    EXPECT_TRUE(wave.headerConsistent);
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    EXPECT_GT(wave.seconds(span.length()), 0.5);
    EXPECT_GT(AudioCapture::rms(wave.left, span.begin, span.end), 0.15);
}

TEST(SoundStartup, musicWithoutAutoPlayStaysSilentThroughTheStart)
{
    const std::string capture = AudioCapture::temporaryCapturePath();
    const GameRun run = runGame(capturingEnvironment(capture), kWaitingMusicMain);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("music playing: false"))) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(QStringLiteral("application paused"))) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(QStringLiteral("application resumed"))) << run.output.toStdString();

    const AudioCapture::Wave wave = AudioCapture::read(capture);
    EXPECT_TRUE(wave.headerConsistent);
    EXPECT_GT(wave.seconds(wave.left.size()), 1.5);
    EXPECT_EQ(AudioCapture::activeSpan(wave.left).length(), 0u);
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
