// The bridge's managers in their order, asked on their own: which one takes which item.

#include <gtest/gtest.h>

#include "nodemanagerlist.h"
#include "scenegraphwrapper.h"
#include "ztanimatedspritemanager.h"
#include "ztflickablemanager.h"
#include "ztnodemanager.h"
#include "ztrectanglemanager.h"
#include "ztspritemanager.h"
#include "zttextmanager.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>

#include <memory>

namespace {

template <typename Manager> bool takenBy(const NodeManagerList& list, QQuickItem* root, const char* name)
{
    QObject* item = root->findChild<QObject*>(name);
    EXPECT_NE(item, nullptr) << name;
    // Exactly this class, not a subclass: the animated-sprite manager is also an image manager.
    AbstractZTNodeManager* manager = list.managerFor(item);
    return manager && manager->metaObject() == &Manager::staticMetaObject;
}

} // namespace

TEST(NodeManagerList, eachKindGoesToItsOwnManagerAndTheCatchAllTakesOnlyContainersOfDrawables)
{
    QQuickView view;
    SceneGraphWrapper wrapper(view, nullptr);
    QObject owner;
    const NodeManagerList list(wrapper, &owner);
    ASSERT_EQ(list.managers().size(), 7);

    QQmlComponent component(view.engine());
    component.setData(R"(import QtQuick 2.15
Item {
    Flickable { objectName: "flickable"; Image { objectName: "inFlickable" } }
    Image { objectName: "image" }
    Rectangle { objectName: "rectangle"; Image { } }
    Text { objectName: "text" }
    Item { objectName: "holdsText"; Text { } }
    Item { objectName: "plain"; Item { } }
}
)",
                      QUrl());
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem*>(component.create()));
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    EXPECT_TRUE(takenBy<ZTFlickableManager>(list, root.get(), "flickable"));
    EXPECT_TRUE(takenBy<ZTSpriteManager>(list, root.get(), "inFlickable"));
    EXPECT_TRUE(takenBy<ZTSpriteManager>(list, root.get(), "image"));
    EXPECT_TRUE(takenBy<ZTRectangleManager>(list, root.get(), "rectangle"));
    EXPECT_TRUE(takenBy<ZTTextManager>(list, root.get(), "text"));
    EXPECT_TRUE(takenBy<ZTNodeManager>(list, root.get(), "holdsText"));
    EXPECT_EQ(list.managerFor(root->findChild<QObject*>("plain")), nullptr);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
