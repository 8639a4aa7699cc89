// The text dialog types the texts declared for it, with the delay and repetition declared with them,
// whatever the order of the declarations.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

} // namespace

TEST(TextDialog, theDeclaredTextsDelayAndRepetitionTakeEffectInEitherOrder)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 300; height: 300
    TextDialog { objectName: "textsFirst"; dialogText: ["Hi", "Yo"]; dialogTextDelay: 1; dialogTextRepeat: true }
    TextDialog { objectName: "textsLast"; y: 60; dialogTextRepeat: true; dialogTextDelay: 1; dialogText: ["Hi", "Yo"] }
}
)");
    ASSERT_NE(root, nullptr);
    for (const char* name : {"textsFirst", "textsLast"}) {
        QQuickItem* dialog = findItem(root, name);
        ASSERT_TRUE(engine->stepFramesUntil([&] { return dialog->property("dialogTextVisible") == "Hi"; }))
            << name << " shows " << dialog->property("dialogTextVisible").toString().toStdString();
        EXPECT_EQ(dialog->property("dialogTextDelay").toInt(), 1);
        EXPECT_TRUE(dialog->property("dialogTextRepeat").toBool());
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
