// The text-field relay on a real field drawn by the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "QtPrinters.h"

#include "items/textfielddelegateqobject.h"
#include "text_input_node/ZTIMEDispatcher.h"
#include "text_input_node/ZTTextFieldTTF.h"

#include <QStringList>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

// Everything the relay says, one line a signal.
struct RelayLog
{
    explicit RelayLog(TextFieldDelegateQObject& relay)
    {
        QObject::connect(&relay, &TextFieldDelegateQObject::textInputStarted,
                         [this] { lines.append("started"); });
        QObject::connect(&relay, &TextFieldDelegateQObject::textInputFinished,
                         [this](bool ok, const QString& text) {
                             lines.append(QString("finished %1 %2").arg(ok).arg(text));
                         });
        QObject::connect(&relay, &TextFieldDelegateQObject::insertText,
                         [this](const QString& text, int length) {
                             lines.append(QString("insert %1 %2").arg(text).arg(length));
                         });
        QObject::connect(&relay, &TextFieldDelegateQObject::deleteText,
                         [this](const QString& text, int length) {
                             lines.append(QString("delete %1 %2").arg(text).arg(length));
                         });
        QObject::connect(&relay, &TextFieldDelegateQObject::updateText,
                         [this](const QString& text) { lines.append("update " + text); });
    }

    QStringList lines;
};

void type(const char* text)
{
    ZTIMEDispatcher::sharedDispatcher()->dispatchInsertText(text, int(strlen(text)));
}

// A field in the scene with the relay as its delegate; the scene holds the only reference.
ZTTextFieldTTF* fieldInScene(TextFieldDelegateQObject& relay)
{
    ZTTextFieldTTF* field = ZTTextFieldTTF::textFieldWithPlaceHolder("Name", "Arial", 20);
    field->setPosition(ZTPoint(100, -100));
    field->setDelegate(&relay);
    engine->wrapper().getRootSceneGraphNode()->addChild(field);
    return field;
}

} // namespace

TEST(TextFieldRelay, typingReportsEachPieceAndTheTextFrameByFrame)
{
    engine->load("import QtQuick 2.15\nItem { width: 300; height: 200 }\n");
    TextFieldDelegateQObject relay(nullptr, false);
    const RelayLog log(relay);
    ZTTextFieldTTF* field = fieldInScene(relay);
    ASSERT_TRUE(field->attachWithIME());
    engine->stepFrames(1);
    type("a");
    engine->stepFrames(1);
    type("b");
    engine->stepFrames(1);
    ZTIMEDispatcher::sharedDispatcher()->dispatchDeleteBackward();
    engine->stepFrames(1);
    type("\n");
    EXPECT_EQ(log.lines, QStringList({"started", "insert a 1", "update a", "insert b 1", "update ab",
                                      "delete b 1", "update a", "insert \n 1", "finished 1 a"}));
    EXPECT_EQ(field->getParent(), engine->wrapper().getRootSceneGraphNode());
    field->removeFromParentAndCleanup(true);
}

TEST(TextFieldRelay, aFieldRemovedWhenItsInputEndsLivesUntilTheFrameIsOver)
{
    engine->load("import QtQuick 2.15\nItem { width: 300; height: 200 }\n");
    TextFieldDelegateQObject relay(nullptr, true);
    const RelayLog log(relay);
    ZTTextFieldTTF* field = fieldInScene(relay);
    // From the next frame on only the scene holds the field.
    engine->stepFrames(1);
    ASSERT_TRUE(field->attachWithIME());
    type("x\n");
    EXPECT_EQ(field->getParent(), nullptr);
    EXPECT_EQ(log.lines.last(), "finished 1 x");
    // The frame's end releases the field; the sanitizer would report a use after its release.
    engine->stepFrames(2);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
