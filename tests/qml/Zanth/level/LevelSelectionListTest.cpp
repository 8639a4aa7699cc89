// The level list's default buttons: one per level, named after it, reporting its meta data on a click.

#include "Zanth/gamenetwork/GameNetworkHost.h"

#include <QQuickItem>

#include <gtest/gtest.h>

TEST(LevelSelectionList, eachLevelGetsANamedButtonThatReportsItsMetaData)
{
    const auto list = GameNetworkHost::instance().create(
        "LevelSelectionList {\n    property var chosen\n    onLevelSelected: (levelData) => chosen = levelData\n"
        "    levelMetaDataArray: [{ levelId: 1, levelName: \"first\" }, { levelId: 2, levelName: \"second\" }]\n"
        "}\n");
    ASSERT_TRUE(list);
    auto* column = list->property("levelColumn").value<QQuickItem*>();
    ASSERT_NE(column, nullptr);
    QList<QQuickItem*> buttons;
    for (QQuickItem* child : column->childItems()) {
        if (child->property("mouseArea").isValid())
            buttons.append(child);
    }
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[1]->property("text").toString(), "second");
    EXPECT_EQ(buttons[1]->height(), 20.0);
    EXPECT_GE(buttons[0]->width(), 120.0);

    QMetaObject::invokeMethod(buttons[1], "clicked");
    EXPECT_EQ(qmlProperty(list.get(), "chosen").toMap().value("levelId").toInt(), 2);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
