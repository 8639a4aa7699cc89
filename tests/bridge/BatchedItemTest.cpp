// What a watched item tells its managers, learnt from Qt Quick's change listeners: the batch on its own,
// items made in QML, managers of the test's own making that write down what they are told. No GL.

#include <gtest/gtest.h>

#include "abstractztnodemanager.h"
#include "itemtreemirror.h"
#include "modificationbatch.h"
#include "nodemanagerlist.h"
#include "scenegraphwrapper.h"

#include <QGuiApplication>
#include <QProperty>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

#include <memory>

namespace {

// Writes down each reaction into a log shared with the other managers, as "<manager> <what> <objectName>",
// with the position, size or turn the item has then.
class RecordingManager : public AbstractZTNodeManager
{
public:
    RecordingManager(SceneGraphWrapper& wrapper, QObject* owner, ModificationBatch& batch, QStringList& log,
                     const char* name)
        : AbstractZTNodeManager(wrapper, owner), m_batch(batch), m_log(log), m_name(name)
    {
    }

    bool canCreateNodeFromItem(QObject*) override { return false; }
    zanth2d::ZTNode* createNodeFromItem(QObject*, zanth2d::ZTNode*) override { return nullptr; }

    void itemPositionChanged(QQuickItem* item) override
    {
        write(QStringLiteral("moved %1 %2,%3").arg(item->objectName()).arg(item->x()).arg(item->y()));
    }
    void itemSizeChanged(QQuickItem* item) override
    {
        write(QStringLiteral("resized %1 %2x%3")
                  .arg(item->objectName())
                  .arg(item->width())
                  .arg(item->height()));
    }
    void itemRotationChanged(QQuickItem* item) override
    {
        write(QStringLiteral("turned %1 %2").arg(item->objectName()).arg(item->rotation()));
    }
    void itemVisibleChanged(QQuickItem* item) override
    {
        write(QStringLiteral("visible %1 %2").arg(item->objectName()).arg(item->isVisible()));
    }
    void itemParentChanged(QQuickItem* item) override
    {
        write(QStringLiteral("parent %1 %2")
                  .arg(item->objectName(), item->parentItem() ? item->parentItem()->objectName() : "none"));
    }
    // As the wrapper does for the bridge's managers: the batch forgets the item.
    void itemDestroyed(QObject* item) override
    {
        write(QStringLiteral("ended %1").arg(item->objectName()));
        m_batch.forget(item);
    }

private:
    void write(const QString& line) { m_log << (m_name + QLatin1Char(' ') + line); }

    ModificationBatch& m_batch;
    QStringList& m_log;
    QString m_name;
};

constexpr int kEverything = ModificationBatch::Position | ModificationBatch::Size |
                            ModificationBatch::Rotation | ModificationBatch::Visibility |
                            ModificationBatch::Parent | ModificationBatch::End;

class BatchedItemTest : public ::testing::Test
{
protected:
    BatchedItemTest()
        : m_wrapper(m_view, nullptr), m_mirror(m_managers, m_view), m_batch(m_mirror),
          m_first(m_wrapper, &m_owner, m_batch, m_log, "first"),
          m_second(m_wrapper, &m_owner, m_batch, m_log, "second")
    {
        QQmlComponent component(m_view.engine());
        component.setData(
            "import QtQuick 2.15\n"
            "Item { objectName: \"root\"; property real shift: 0\n"
            "  Item { objectName: \"mover\" }\n"
            "  Item { objectName: \"follower\"; x: source.x + shift; width: source.width * 2 }\n"
            "  Item { objectName: \"anchored\"; anchors.left: source.right }\n"
            "  Item { objectName: \"box\"; Item { objectName: \"inBox\" } }\n"
            "  Item { id: source; objectName: \"source\" } }\n",
            QUrl());
        m_root.reset(qobject_cast<QQuickItem*>(component.create()));
        EXPECT_NE(m_root, nullptr) << component.errorString().toStdString();
        m_source = item("source");
    }
    ~BatchedItemTest() override { m_root.reset(); }

    QQuickItem* item(const char* name) const { return m_root->findChild<QQuickItem*>(name); }
    // What the managers were told since the last call, in order.
    std::string both()
    {
        QStringList lines;
        lines.swap(m_log);
        return lines.join('|').toStdString();
    }
    // The same in alphabetical order, for reports whose order among items does not matter.
    std::string bothSorted()
    {
        QStringList lines;
        lines.swap(m_log);
        lines.sort();
        return lines.join('|').toStdString();
    }

    QQuickView m_view;
    SceneGraphWrapper m_wrapper;
    QObject m_owner;
    NodeManagerList m_managers;
    ItemTreeMirror m_mirror;
    ModificationBatch m_batch;
    QStringList m_log;
    RecordingManager m_first;
    RecordingManager m_second;
    std::unique_ptr<QQuickItem> m_root;
    QQuickItem* m_source = nullptr;
};

} // namespace

TEST_F(BatchedItemTest, movesReachTheManagerInThePassOnceWithTheLastPositionAndAMoveBackIsNone)
{
    QQuickItem* mover = item("mover");
    m_batch.watch(mover, &m_first, kEverything);
    mover->setX(1);
    mover->setX(5);
    EXPECT_EQ(both(), "") << "a move waits for the pass";
    m_batch.apply();
    EXPECT_EQ(both(), "first moved mover 5,0");

    mover->setX(9);
    mover->setX(5);
    mover->setPosition(QPointF(5, 0));
    m_batch.apply();
    EXPECT_EQ(both(), "");

    mover->setY(3);
    m_batch.apply();
    m_batch.apply();
    EXPECT_EQ(both(), "first moved mover 5,3");
}

TEST_F(BatchedItemTest, movesMadeByBindingsAnchorsAndPropertyBindingsAreSeenToo)
{
    QQuickItem* follower = item("follower");
    QQuickItem* anchored = item("anchored");
    m_batch.watch(follower, &m_first, kEverything);
    m_batch.watch(anchored, &m_first, kEverything);
    m_source->setX(10);
    m_batch.apply();
    EXPECT_EQ(bothSorted(), "first moved anchored 10,0|first moved follower 10,0");

    m_root->setProperty("shift", 4.0);
    m_source->setWidth(3);
    EXPECT_EQ(both(), "first resized follower 6x0");
    m_batch.apply();
    EXPECT_EQ(bothSorted(), "first moved anchored 13,0|first moved follower 14,0");

    QProperty<qreal> source(20);
    follower->bindableY().setBinding([&source] { return source.value(); });
    source = 25;
    m_batch.apply();
    EXPECT_EQ(both(), "first moved follower 14,25");
}

TEST_F(BatchedItemTest, resizesTurnsVisibilityAndNewParentsReachTheManagerAtOnce)
{
    QQuickItem* inBox = item("inBox");
    m_batch.watch(inBox, &m_first, kEverything);
    inBox->setWidth(4);
    EXPECT_EQ(both(), "first resized inBox 4x0");
    inBox->setSize(QSizeF(6, 7));
    EXPECT_EQ(both(), "first resized inBox 6x7") << "one report for both sides";
    inBox->setRotation(30);
    EXPECT_EQ(both(), "first turned inBox 30");
    // Hidden by its parent, as its visible() tells.
    item("box")->setVisible(false);
    EXPECT_EQ(both(), "first visible inBox 0");
    item("box")->setVisible(true);
    EXPECT_EQ(both(), "first visible inBox 1");
    inBox->setParentItem(m_root.get());
    EXPECT_EQ(both(), "first parent inBox root");
    m_batch.apply();
    EXPECT_EQ(both(), "") << "none of them is a move";
}

TEST_F(BatchedItemTest, eachManagerIsToldWhatItWatchesInTheOrderTheyStartedWatching)
{
    QQuickItem* mover = item("mover");
    m_batch.watch(mover, &m_second, ModificationBatch::Size | ModificationBatch::End);
    m_batch.watch(mover, &m_first, ModificationBatch::Position);
    mover->setX(2);
    mover->setWidth(3);
    m_batch.apply();
    EXPECT_EQ(both(), "second resized mover 3x0|first moved mover 2,0");

    // Watching again adds to what a manager is told.
    m_batch.watch(mover, &m_second, ModificationBatch::Position);
    mover->setX(4);
    m_batch.apply();
    EXPECT_EQ(both(), "second moved mover 4,0|first moved mover 4,0");
    mover->setRotation(10);
    EXPECT_EQ(both(), "");
}

TEST_F(BatchedItemTest, anItemEndedWhileItsMoveWaitsReportsItsEndAndNothingAfter)
{
    auto* doomed = new QQuickItem(m_root.get());
    doomed->setObjectName("doomed");
    QQuickItem* mover = item("mover");
    m_batch.watch(doomed, &m_first, kEverything);
    m_batch.watch(mover, &m_first, kEverything);
    doomed->setX(3);
    mover->setX(8);
    delete doomed;
    EXPECT_EQ(both(), "first parent doomed none|first ended doomed");
    m_batch.apply();
    EXPECT_EQ(both(), "first moved mover 8,0");
    EXPECT_EQ(m_batch.pending(doomed), nullptr);
}

TEST_F(BatchedItemTest, aForgottenItemIsNoLongerLookedAtForMovesButStillReportsItsEnd)
{
    auto* item = new QQuickItem(m_root.get());
    item->setObjectName("item");
    m_batch.watch(item, &m_first, kEverything);
    item->setX(3);
    m_batch.forget(item);
    m_batch.apply();
    item->setX(5);
    m_batch.apply();
    EXPECT_EQ(both(), "");
    item->setParentItem(nullptr);
    delete item;
    EXPECT_EQ(both(), "first parent item none|first ended item");
}

TEST_F(BatchedItemTest, theBatchGoingFirstLeavesItsItemsUntold)
{
    auto batch = std::make_unique<ModificationBatch>(m_mirror);
    QQuickItem* mover = item("mover");
    batch->watch(mover, &m_first, kEverything);
    batch.reset();
    mover->setWidth(12);
    mover->setRotation(45);
    EXPECT_EQ(both(), "");
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
