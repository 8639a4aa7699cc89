#include <gtest/gtest.h>

#include "items/contentscalefactorobject.h"
#include "items/gamewindowitem.h"
#include "qmltyperegistry.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>

#include <memory>

TEST(GameWindowItemFlags, resizeableAndMaximizeableSwitchAllThreeButSignalOnlyTheirOwnChange)
{
    GameWindowItem item;
    QSignalSpy minimizeable(&item, &GameWindowItem::minimizeableChanged);
    QSignalSpy maximizeable(&item, &GameWindowItem::maximizeableChanged);
    QSignalSpy resizeable(&item, &GameWindowItem::resizeableChanged);

    item.setMinimizeable(true);
    EXPECT_EQ(minimizeable.count(), 0);

    item.setResizeable(true);
    EXPECT_TRUE(item.minimizeable());
    EXPECT_TRUE(item.maximizeable());
    EXPECT_TRUE(item.resizeable());
    EXPECT_EQ(resizeable.count(), 1);
    EXPECT_EQ(minimizeable.count() + maximizeable.count(), 0);

    item.setMaximizeable(false);
    EXPECT_FALSE(item.minimizeable());
    EXPECT_FALSE(item.maximizeable());
    EXPECT_FALSE(item.resizeable());
    EXPECT_EQ(maximizeable.count(), 1);
    EXPECT_EQ(resizeable.count(), 1);

    QSignalSpy fullscreen(&item, &GameWindowItem::fullscreenChanged);
    item.setFullscreen(false);
    item.setFullscreen(true);
    EXPECT_EQ(fullscreen.count(), 1);
}

TEST(GameWindowItemPublishing, aCompletedGameWindowItemBecomesRootGameWindow)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\nimport Zanth 1.0\n"
                      "GameWindowItem { id: root; property bool sawValidScale: false\n"
                      "  ContentScaleFactorObject { objectName: \"scale\"\n"
                      "    onContentScaleFactorBecameValid: root.sawValidScale = true } }\n",
                      QUrl());
    std::unique_ptr<QObject> item(component.create());
    ASSERT_NE(item, nullptr) << component.errorString().toStdString();
    EXPECT_EQ(engine.rootContext()->contextProperty("rootGameWindow").value<QObject*>(), item.get());
    QMetaObject::invokeMethod(item->findChild<QObject*>("scale"), "emitContentScaleFactorValidSignal");
    EXPECT_TRUE(item->property("sawValidScale").toBool());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QmlTypeRegistry::registerRows(19, 20);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
