// The per-frame batch on its own: items made in C++, nodes recorded by hand, no window and no GL.

#include <gtest/gtest.h>

#include "itemtreemirror.h"
#include "modificationbatch.h"
#include "nodemanagerlist.h"

#include "base_nodes/ZTNode.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>

using namespace zanth2d;

namespace {

class ModificationBatchTest : public ::testing::Test
{
protected:
    ModificationBatchTest() : m_mirror(m_managers, m_window), m_batch(m_mirror)
    {
        m_item.setParentItem(&m_parent);
        m_mirror.setNodeOf(&m_item, m_node);
    }
    ~ModificationBatchTest() override { m_node->release(); }

    int flags()
    {
        const ModificationData* record = m_batch.pending(&m_item);
        return record ? record->flags : -1;
    }

    QQuickWindow m_window;
    NodeManagerList m_managers;
    ItemTreeMirror m_mirror;
    ModificationBatch m_batch;
    QQuickItem m_parent;
    QQuickItem m_item;
    ZTNode* m_node = new ZTNode();
};

} // namespace

TEST_F(ModificationBatchTest, anAppliedMoveStaysOnePassAndAMarkInBetweenAddsToIt)
{
    m_item.setX(10);
    m_batch.markPosition(&m_item);
    m_batch.markRotation(&m_item, 30);
    EXPECT_EQ(flags(), ModificationData::ModificationPosition | ModificationData::ModificationRotation);
    EXPECT_EQ(m_node->getPosition().x, 0.0f);

    m_batch.apply();
    EXPECT_FLOAT_EQ(m_node->getRotation(), 30.0f);
    EXPECT_EQ(flags(), ModificationData::ModificationPresent);

    m_item.setY(4);
    m_batch.markPosition(&m_item);
    EXPECT_EQ(flags(), ModificationData::ModificationPresent | ModificationData::ModificationPosition);
    m_batch.apply();
    EXPECT_EQ(m_node->getPosition().y, -4.0f);
    EXPECT_EQ(flags(), ModificationData::ModificationPresent);
    // A pass without new marks drops the record.
    m_batch.apply();
    EXPECT_EQ(flags(), -1);
}

TEST_F(ModificationBatchTest, aScaleOnlyRecordIsAppliedAndDroppedInOnePassKeepingTheNodesYScale)
{
    m_node->setScaleY(3);
    m_batch.markScaleX(&m_item, 2);
    m_node->setScaleY(5);
    m_batch.markScaleX(&m_item, 4);
    m_batch.apply();
    EXPECT_FLOAT_EQ(m_node->getScaleX(), 4.0f);
    EXPECT_FLOAT_EQ(m_node->getScaleY(), 3.0f);
    EXPECT_EQ(flags(), -1);
}

TEST_F(ModificationBatchTest, itemsWithoutNodeAreNotMarkedAndAForgottenItemsMarksAreDropped)
{
    QQuickItem stranger;
    m_batch.markPosition(&stranger);
    m_batch.markRotation(&stranger, 5);
    m_batch.markScaleX(&stranger, 2);
    EXPECT_EQ(m_batch.pending(&stranger), nullptr);
    EXPECT_FALSE(m_batch.applyPositionAndRotationNow(&stranger));

    m_item.setX(7);
    m_batch.markPosition(&m_item);
    m_batch.forget(&m_item);
    m_batch.apply();
    EXPECT_EQ(m_node->getPosition().x, 0.0f);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
