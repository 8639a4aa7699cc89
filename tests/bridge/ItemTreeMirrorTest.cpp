// The item tree's mirror on its own: an unshown window, node managers of the test's own making, no GL.

#include <gtest/gtest.h>

#include "MessageLog.h"

#include "abstractztnodemanager.h"
#include "itemtreemirror.h"
#include "nodemanagerlist.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

#include <memory>

using namespace zanth2d;

namespace {

// Gives every item that holds a Rectangle (or is one) a plain node, as the catch-all does; with
// wholeSubtree it takes Flickables only, and mirrors nothing below them itself.
class PlainNodeManager : public AbstractZTNodeManager
{
public:
    PlainNodeManager(SceneGraphWrapper& wrapper, QObject* owner, bool wholeSubtree)
        : AbstractZTNodeManager(wrapper, owner), m_wholeSubtree(wholeSubtree)
    {
    }
    ~PlainNodeManager() override
    {
        for (ZTNode* node : std::as_const(m_made))
            node->release();
    }

    bool canCreateNodeFromItem(QObject* item) override
    {
        if (m_wholeSubtree)
            return item->inherits("QQuickFlickable");
        return ItemTreeMirror::existsChildInheritingClassnameList({"QQuickRectangle"}, item);
    }
    ZTNode* createNodeFromItem(QObject*, ZTNode* parentNode) override
    {
        auto* node = new ZTNode();
        (parentNode ? parentNode : sceneGraphScene())->addChild(node);
        m_made.append(node);
        return node;
    }
    bool shouldProcessChildren() override { return !m_wholeSubtree; }

private:
    bool m_wholeSubtree;
    QList<ZTNode*> m_made;
};

class ItemTreeMirrorTest : public ::testing::Test
{
protected:
    ItemTreeMirrorTest() : m_wrapper(m_view, nullptr), m_mirror(m_managers, m_view)
    {
        m_managers.append(new PlainNodeManager(m_wrapper, &m_owner, true));
        m_managers.append(new PlainNodeManager(m_wrapper, &m_owner, false));
        m_managers.setSceneGraphScene(m_layer);
        m_mirror.setInitialized(true);
    }
    ~ItemTreeMirrorTest() override
    {
        m_root.reset();
        m_layer->release();
    }

    QQuickItem* load(const QByteArray& qml)
    {
        QQmlComponent component(m_view.engine());
        component.setData("import QtQuick 2.15\n" + qml, QUrl());
        m_root.reset(qobject_cast<QQuickItem*>(component.create()));
        EXPECT_NE(m_root, nullptr) << component.errorString().toStdString();
        m_root->setParentItem(m_view.contentItem());
        return m_root.get();
    }
    QQuickItem* item(const char* name) const { return m_root->findChild<QQuickItem*>(name); }
    ZTNode* node(const char* name) const { return m_mirror.nodeOf(item(name)); }

    QQuickView m_view;
    SceneGraphWrapper m_wrapper;
    QObject m_owner;
    NodeManagerList m_managers;
    ItemTreeMirror m_mirror;
    ZTNode* m_layer = new ZTNode();
    std::unique_ptr<QQuickItem> m_root;
};

} // namespace

TEST_F(ItemTreeMirrorTest, parentNodesComeFirstAndTheWindowsOwnRootItemIsNoParent)
{
    MessageLog log;
    load("Item { Item { objectName: \"group\"; Rectangle { objectName: \"leaf\" } }\n"
         "       Item { objectName: \"plain\" } }");
    m_mirror.mirror(m_root.get());
    ZTNode* root = m_mirror.nodeOf(m_root.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getParent(), m_layer);
    ASSERT_NE(node("group"), nullptr);
    EXPECT_EQ(node("group")->getParent(), root);
    EXPECT_EQ(node("leaf")->getParent(), node("group"));
    EXPECT_EQ(node("plain"), nullptr);
    EXPECT_FALSE(log.contains("no parentNode")) << log.lines().join('\n').toStdString();
}

TEST_F(ItemTreeMirrorTest, aManagerThatTakesAWholeSubtreeStopsTheWalkBelowIt)
{
    load("Item { Flickable { objectName: \"list\"; Rectangle { objectName: \"row\" } } }");
    m_mirror.mirror(m_root.get());
    ASSERT_NE(node("list"), nullptr);
    EXPECT_EQ(node("row"), nullptr);
}

TEST_F(ItemTreeMirrorTest, aForgottenItemGetsANewNodeWhenItIsMirroredAgain)
{
    load("Item { Rectangle { objectName: \"leaf\" } }");
    m_mirror.mirror(m_root.get());
    ZTNode* first = node("leaf");
    ASSERT_NE(first, nullptr);
    m_mirror.mirror(m_root.get());
    EXPECT_EQ(node("leaf"), first);
    m_mirror.forget(item("leaf"));
    EXPECT_EQ(node("leaf"), nullptr);
    m_mirror.mirror(m_root.get());
    EXPECT_NE(node("leaf"), nullptr);
    EXPECT_NE(node("leaf"), first);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
