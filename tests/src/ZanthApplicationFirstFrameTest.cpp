// What the application tells QML of the first frame of its main file, on the engine started in the test
// process with frames drawn by hand: not while the file loads nor while that frame is drawn, but in the
// frame after it, and again for each file loaded later.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QEventLoop>
#include <QTimer>

namespace {

InProcessEngine* engine = nullptr;

const QByteArray kWatcher =
    "import QtQuick 2.15\n"
    "Item {\n"
    "    width: 64; height: 64\n"
    "    property bool shownWhenCompleted: true\n"
    "    readonly property bool shown: ZanthApplication.firstFrameShown\n"
    "    property int turnedTrue: 0\n"
    "    onShownChanged: if (shown) ++turnedTrue\n"
    "    Component.onCompleted: shownWhenCompleted = ZanthApplication.firstFrameShown\n"
    "}\n";

} // namespace

TEST(ZanthApplicationFirstFrame, turnsTrueInTheFrameAfterTheMainFilesFirstOneAndAnewForEachFile)
{
    for (int file = 0; file < 2; ++file) {
        SCOPED_TRACE(file);
        // Loads the file and draws its first frame.
        QQuickItem* root = engine->load(kWatcher);
        ASSERT_NE(root, nullptr);
        EXPECT_FALSE(root->property("shownWhenCompleted").toBool());
        EXPECT_FALSE(root->property("shown").toBool());
        EXPECT_FALSE(engine->application().firstFrameShown());
        engine->stepFrames(1);
        EXPECT_TRUE(engine->application().firstFrameShown());
        EXPECT_TRUE(root->property("shown").toBool());
        engine->stepFrames(3);
        EXPECT_EQ(root->property("turnedTrue").toInt(), 1);
    }
}

// Counts the timer events that reach the application's timers while it lives; the timers named here
// are left out.
class TimerEvents : public QObject
{
public:
    explicit TimerEvents(std::initializer_list<const QObject*> leftOut) : m_leftOut(leftOut)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~TimerEvents() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count() const { return m_count; }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && qobject_cast<QTimer*>(receiver) &&
            std::find(m_leftOut.begin(), m_leftOut.end(), receiver) == m_leftOut.end())
            ++m_count;
        return false;
    }

private:
    std::vector<const QObject*> m_leftOut;
    int m_count = 0;
};

// A modal dialog opened before the first frame (a message box at the start, a quit question) runs an
// event loop of its own, in which no frame is drawn until it closes: the wait for the first frame must
// not keep that loop busy, one core at full load for as long as the dialog is open.
TEST(ZanthApplicationFirstFrame, aModalLoopBeforeTheFirstFrameIsNotKeptBusyAndTheFrameIsToldOfAfterIt)
{
    writeTestFile(engine->folder() + "/qml/modal.qml", kWatcher);
    engine->view().resize(1, 1);
    engine->application().setMainQmlFileName("qml/modal.qml");
    engine->application().loadQmlFile();
    QQuickItem* root = engine->view().rootObject();
    ASSERT_NE(root, nullptr);

    // The dialog's loop, each of whose passes waits for nothing else than the application's own timers.
    QEventLoop modal;
    QTimer pass;
    pass.setInterval(0);
    int passes = 0;
    QObject::connect(&pass, &QTimer::timeout, [&] {
        if (++passes == 2000)
            modal.quit();
    });
    int fired = 0;
    {
        TimerEvents timers({&pass});
        pass.start();
        modal.exec();
        fired = timers.count();
    }
    EXPECT_LT(fired, passes / 2) << "the application's timers fired " << fired << " times in " << passes
                                 << " passes of the loop";

    EXPECT_FALSE(engine->application().firstFrameShown());
    engine->stepFrames(1);
    EXPECT_TRUE(engine->stepFramesUntil([] { return engine->application().firstFrameShown(); }));
    EXPECT_TRUE(root->property("shown").toBool());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
