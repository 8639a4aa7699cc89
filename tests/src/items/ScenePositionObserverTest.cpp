#include <gtest/gtest.h>

#include "qmltyperegistry.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>

#include <memory>

namespace {

const char* const kTree = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    property real factor: 1
    Item {
        objectName: "grandparent"
        transform: Scale { xScale: factor }
        Item {
            objectName: "parent"
            ScenePositionObserver { objectName: "observer" }
        }
    }
    Item { objectName: "other" }
}
)";

} // namespace

TEST(ScenePositionObserver, movesAndTransformsOfAnyAncestorAreReportedOnceEach)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(kTree, QUrl());
    std::unique_ptr<QObject> root(component.create());
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    auto* observer = root->findChild<QQuickItem*>("observer");
    QSignalSpy moved(observer, SIGNAL(scenePositionChanged()));

    root->findChild<QQuickItem*>("parent")->setX(10);
    EXPECT_EQ(moved.count(), 1);
    root->findChild<QQuickItem*>("grandparent")->setY(5);
    EXPECT_EQ(moved.count(), 2);
    root->setProperty("factor", 2.0);
    EXPECT_EQ(moved.count(), 3);
    observer->setX(1);
    EXPECT_EQ(moved.count(), 4);
}

TEST(ScenePositionObserver, afterReparentingOnlyTheNewAncestorsCount)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(kTree, QUrl());
    std::unique_ptr<QObject> root(component.create());
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    auto* observer = root->findChild<QQuickItem*>("observer");
    auto* other = root->findChild<QQuickItem*>("other");
    observer->setParentItem(other);
    QSignalSpy moved(observer, SIGNAL(scenePositionChanged()));
    root->findChild<QQuickItem*>("parent")->setX(10);
    EXPECT_EQ(moved.count(), 0);
    other->setX(3);
    EXPECT_EQ(moved.count(), 1);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QmlTypeRegistry::registerRows(13, 13);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
