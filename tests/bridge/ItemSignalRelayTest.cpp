// A function called on a signal found by its name: items made in QML, no window.

#include <gtest/gtest.h>

#include "MessageLog.h"

#include "itemsignalrelay.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>

#include <memory>

namespace {

std::unique_ptr<QQuickItem> make(QQmlEngine& engine, const QByteArray& qml)
{
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\n" + qml, QUrl());
    std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem*>(component.create()));
    EXPECT_NE(item, nullptr) << component.errorString().toStdString();
    return item;
}

} // namespace

TEST(ItemSignalRelay, theFunctionRunsOnEachSignalOfTheItemAndNotAfterItsContextIsGone)
{
    QQmlEngine engine;
    auto rectangle = make(engine, "Rectangle { }");
    auto other = make(engine, "Rectangle { }");
    auto context = std::make_unique<QObject>();
    int calls = 0;
    ASSERT_TRUE(ItemSignalRelay::connectSignal(rectangle.get(), SIGNAL(colorChanged()), context.get(),
                                               [&calls] { ++calls; }));
    rectangle->setProperty("color", QColor(Qt::red));
    rectangle->setProperty("color", QColor(Qt::blue));
    other->setProperty("color", QColor(Qt::red));
    EXPECT_EQ(calls, 2);
    context.reset();
    rectangle->setProperty("color", QColor(Qt::green));
    EXPECT_EQ(calls, 2);
}

TEST(ItemSignalRelay, signalsWithArgumentsAndSignalsOfTheItemsBasesAreFound)
{
    QQmlEngine engine;
    auto image = make(engine, "Image { }");
    QObject context;
    QStringList seen;
    ASSERT_TRUE(ItemSignalRelay::connectSignal(image.get(), SIGNAL(sourceChanged(QUrl)), &context,
                                               [&seen] { seen << "source"; }));
    ASSERT_TRUE(ItemSignalRelay::connectSignal(image.get(), SIGNAL(mirrorChanged()), &context,
                                               [&seen] { seen << "mirror"; }));
    ASSERT_TRUE(
        ItemSignalRelay::connectSignal(image.get(), SIGNAL(zChanged()), &context, [&seen] { seen << "z"; }));
    image->setProperty("mirror", true);
    image->setProperty("source", QUrl("qrc:/nothing-here.png"));
    image->setZ(3);
    EXPECT_EQ(seen, QStringList({"mirror", "source", "z"}));
}

TEST(ItemSignalRelay, anUnknownSignalConnectsNothingWithOneWarning)
{
    QQmlEngine engine;
    auto item = make(engine, "Item { }");
    QObject context;
    MessageLog log;
    EXPECT_FALSE(ItemSignalRelay::connectSignal(item.get(), SIGNAL(colorChanged()), &context, [] {}));
    EXPECT_EQ(log.lines().filter("No such signal").size(), 1) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.contains("QQuickItem::colorChanged()")) << log.lines().join('\n').toStdString();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
