// An item's opacityChanged() that also reports its ancestors' fades and its new ancestries: items made in
// QML, no window, the reports counted with QSignalSpy.

#include <gtest/gtest.h>

#include "opacityrelay.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>

#include <memory>

namespace {

class OpacityRelayTest : public ::testing::Test
{
protected:
    OpacityRelayTest()
    {
        QQmlComponent component(&m_engine);
        component.setData("import QtQuick 2.15\n"
                          "Item { objectName: \"root\"\n"
                          "  Item { objectName: \"outer\"\n"
                          "    Item { objectName: \"inner\"; Item { objectName: \"leaf\" } } }\n"
                          "  Item { objectName: \"elsewhere\" } }\n",
                          QUrl());
        m_root.reset(qobject_cast<QQuickItem*>(component.create()));
        EXPECT_NE(m_root, nullptr) << component.errorString().toStdString();
    }

    QQuickItem* item(const char* name) const
    {
        return name == QByteArray("root") ? m_root.get() : m_root->findChild<QQuickItem*>(name);
    }

    QQmlEngine m_engine;
    std::unique_ptr<QQuickItem> m_root;
};

} // namespace

TEST_F(OpacityRelayTest, everyAncestorsFadeIsReportedOnceAndTheItemsOwnAsBefore)
{
    QQuickItem* leaf = item("leaf");
    OpacityRelay::attach(leaf);
    OpacityRelay::attach(leaf);
    QSignalSpy reports(leaf, &QQuickItem::opacityChanged);
    item("inner")->setOpacity(0.5);
    item("outer")->setOpacity(0.5);
    m_root->setOpacity(0.25);
    EXPECT_EQ(reports.count(), 3);
    leaf->setOpacity(0.5);
    EXPECT_EQ(reports.count(), 4);
    // Nothing changes, nothing is reported; nor does a sibling's fade.
    item("inner")->setOpacity(0.5);
    item("elsewhere")->setOpacity(0.1);
    EXPECT_EQ(reports.count(), 4);
}

TEST_F(OpacityRelayTest, aNewParentIsReportedAndFollowedWhileTheOldAncestorsAreLetGo)
{
    QQuickItem* leaf = item("leaf");
    OpacityRelay::attach(leaf);
    QSignalSpy reports(leaf, &QQuickItem::opacityChanged);
    leaf->setParentItem(item("elsewhere"));
    EXPECT_EQ(reports.count(), 1);
    item("inner")->setOpacity(0.5);
    item("outer")->setOpacity(0.5);
    EXPECT_EQ(reports.count(), 1);
    item("elsewhere")->setOpacity(0.5);
    m_root->setOpacity(0.5);
    EXPECT_EQ(reports.count(), 3);
    // Without a parent the item is not shown: nothing to report, nothing to follow.
    leaf->setParentItem(nullptr);
    item("elsewhere")->setOpacity(1);
    EXPECT_EQ(reports.count(), 3);
    leaf->setParentItem(item("inner"));
    EXPECT_EQ(reports.count(), 4);
    item("outer")->setOpacity(1);
    EXPECT_EQ(reports.count(), 5);
    delete leaf;
}

TEST_F(OpacityRelayTest, anAncestorsNewParentIsReportedAndFollowedToo)
{
    QQuickItem* leaf = item("leaf");
    QQuickItem* inner = item("inner");
    OpacityRelay::attach(leaf);
    QSignalSpy reports(leaf, &QQuickItem::opacityChanged);
    inner->setParentItem(item("elsewhere"));
    EXPECT_EQ(reports.count(), 1);
    item("outer")->setOpacity(0.5);
    EXPECT_EQ(reports.count(), 1);
    item("elsewhere")->setOpacity(0.5);
    EXPECT_EQ(reports.count(), 2);
}

TEST_F(OpacityRelayTest, followersAndAncestorsMayEndInAnyOrder)
{
    QQuickItem* leaf = item("leaf");
    OpacityRelay::attach(leaf);
    OpacityRelay::attach(item("inner"));
    QSignalSpy reports(leaf, &QQuickItem::opacityChanged);
    // Qt takes the children from an ending item: the leaf keeps following what is left above it.
    auto* kept = new QQuickItem(item("outer"));
    leaf->setParent(m_root.get());
    leaf->setParentItem(kept);
    const int moved = reports.count();
    delete item("inner");
    item("outer")->setOpacity(0.5);
    EXPECT_EQ(reports.count(), moved + 1);
    // Its parent's end first takes the parent out of the tree (a new ancestry, reported), then the leaf out
    // of the parent (nothing shown, nothing reported).
    delete kept;
    EXPECT_EQ(reports.count(), moved + 2);
    EXPECT_EQ(leaf->parentItem(), nullptr);
    m_root->setOpacity(0.5);
    EXPECT_EQ(reports.count(), moved + 2);
    delete leaf;
    m_root->setOpacity(0.2);
    m_root.reset();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
