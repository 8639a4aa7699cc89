// Entities and their manager, driven from QML on the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QJsonDocument>
#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

// A game with a pooling manager, a box kind and a car kind, both pre-created; the root's callManager()
// runs a function of the manager, and boxesMade counts the box items ever made.
QByteArray game(const QByteArray& extra = "")
{
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  id: window\n  displayFpsEnabled: false\n"
           "  property int boxesMade: 0\n"
           "  property var events: []\n"
           "  function callManager(name, a, b) { return entityManager[name](a, b) }\n"
           "  function make(component, properties) {\n"
           "    return entityManager.createEntityFromComponentWithProperties(component, properties) }\n"
           "  function makeBox(properties) { return make(box, properties) }\n"
           "  function makeCar(properties) { return make(car, properties) }\n"
           "  function record(text) { var e = events; e.push(text); events = e }\n"
           "  EntityManager { id: entityManager; entityContainer: scene; poolingEnabled: true\n"
           "    dynamicCreationEntityList: [box, car] }\n"
           "  Component { id: box\n"
           "    EntityBase { entityType: \"box\"; poolingEnabled: true\n"
           "      Component.onCompleted: window.boxesMade++\n"
           "      onMovedToPool: window.record(\"movedToPool \" + entityId)\n"
           "      onUsedFromPool: window.record(\"usedFromPool \" + entityId)\n"
           "      Item { objectName: \"part\"; Item { objectName: \"inner\" } } } }\n"
           "  Component { id: car\n"
           "    EntityBase { entityType: \"car\"; property int speed: 0; toStoreProperties: [\"speed\"] } }\n"
           "  Scene { id: scene; objectName: \"scene\"\n" +
           extra + "\n  }\n}\n";
}

// Runs a function of the manager.
QVariant call(QQuickItem* root, const char* function, const QVariant& a = QVariant(),
              const QVariant& b = QVariant())
{
    QVariant result;
    QMetaObject::invokeMethod(root, "callManager", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, QString(function)),
                              Q_ARG(QVariant, a), Q_ARG(QVariant, b));
    return result;
}

QVariant make(QQuickItem* root, const char* function, const QVariantMap& properties = {})
{
    QVariant result;
    QMetaObject::invokeMethod(root, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, properties));
    return result;
}

QObject* entity(QQuickItem* root, const QString& id)
{
    return call(root, "getEntityById", id).value<QObject*>();
}

} // namespace

TEST(EntityManager, generatesIdsPerTypeAndMakesRequestedIdsUnique)
{
    QQuickItem* root = engine->load(game());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(make(root, "makeBox").toString(), "box_0");
    EXPECT_EQ(make(root, "makeBox").toString(), "box_1");
    EXPECT_EQ(make(root, "makeBox").toString(), "box_2");
    EXPECT_EQ(make(root, "makeCar", {{"entityId", "car"}}).toString(), "car");
    EXPECT_EQ(make(root, "makeCar", {{"entityId", "car"}}).toString(), "car_");
    QObject* first = entity(root, "box_0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->objectName(), "box_0");
    EXPECT_EQ(first->parent(), findItem(root, "scene"));
    EXPECT_EQ(call(root, "getEntityArrayByType", "box").toList().size(), 3);
    EXPECT_EQ(call(root, "getLastAddedEntity").value<QObject*>(), entity(root, "car_"));
}

TEST(EntityManager, poolingReusesTheItemAndSignalsTheMoveBothWays)
{
    QQuickItem* root = engine->load(game());
    const int madeAtStart = root->property("boxesMade").toInt();
    EXPECT_EQ(call(root, "getPooledEntityArrayByType", "box").toList().size(), 1);
    const QString id = make(root, "makeBox").toString();
    QObject* reused = entity(root, id);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(root->property("boxesMade").toInt(), madeAtStart);
    EXPECT_TRUE(reused->property("visible").toBool());

    call(root, "removeEntityById", id);
    EXPECT_FALSE(reused->property("visible").toBool());
    EXPECT_EQ(entity(root, id), nullptr);
    const QString again = make(root, "makeBox").toString();
    EXPECT_EQ(entity(root, again), reused);
    EXPECT_EQ(root->property("boxesMade").toInt(), madeAtStart);
    const QStringList events = root->property("events").toStringList();
    ASSERT_GE(events.size(), 3);
    EXPECT_EQ(events.mid(events.size() - 3),
              QStringList({"usedFromPool " + id, "movedToPool " + id, "usedFromPool " + again}));

    // A pooled box is no match for a creation that names a variation it lacks.
    call(root, "removeEntityById", again);
    make(root, "makeBox", {{"variationType", "big"}});
    EXPECT_EQ(root->property("boxesMade").toInt(), madeAtStart + 1);
}

TEST(EntityManager, creationByTypeFindsPreCreatedKindsAndRefusesUnknownOnes)
{
    QQuickItem* root = engine->load(game());
    const QString car = call(root, "createEntityFromEntityTypeAndVariationType",
                             QVariantMap{{"entityType", "car"}})
                            .toString();
    EXPECT_TRUE(car.startsWith("car_"));
    const MessageLog log;
    const QVariant unknown =
        call(root, "createEntityFromEntityTypeAndVariationType", QVariantMap{{"entityType", "plane"}});
    EXPECT_FALSE(unknown.isValid() && !unknown.isNull());
    EXPECT_TRUE(log.contains("ERROR: EntityManager: no entry found for entityType plane"));
    call(root, "removeEntityById", "nothing");
    EXPECT_TRUE(log.contains("WARNING: EntityManager: entity to remove could not be found with id: nothing"));
}

TEST(EntityManager, storedEntitiesOfATypeRoundTripThroughCreationByType)
{
    QQuickItem* root = engine->load(game());
    make(root, "makeCar", {{"entityId", "red"}, {"x", 10}, {"y", 20}, {"speed", 7}});
    make(root, "makeCar", {{"entityId", "blue"}, {"x", 30}, {"y", 40}, {"rotation", 90}, {"speed", 3}});
    make(root, "makeCar", {{"entityId", "hidden"}, {"visible", false}, {"speed", 1}});
    make(root, "makeBox", {{"entityId", "crate"}});
    const QVariantMap stored = call(root, "storeEntitiesAsJson", QVariantList{"car"}).toMap();
    ASSERT_EQ(stored.keys(), QStringList({"blue", "red"}));
    const QVariantMap red = stored.value("red").toMap();
    EXPECT_EQ(red.value("entityType").toString(), "car");
    EXPECT_EQ(red.value("variationType").toString(), "");
    EXPECT_EQ(red.value("x").toDouble(), 10.0);
    EXPECT_EQ(red.value("y").toDouble(), 20.0);
    EXPECT_EQ(red.value("rotation").toDouble(), 0.0);
    EXPECT_EQ(red.value("speed").toInt(), 7);

    call(root, "removeEntitiesByFilter", QVariantList{"car"});
    EXPECT_EQ(call(root, "getEntityArrayByType", "car").toList().size(), 0);
    for (const QVariant& value : stored)
        call(root, "createEntityFromEntityTypeAndVariationType", value);
    const QVariantMap reloaded = call(root, "storeEntitiesAsJson", QVariantList{"car"}).toMap();
    EXPECT_EQ(QJsonDocument::fromVariant(reloaded).toJson(), QJsonDocument::fromVariant(stored).toJson());
}

TEST(EntityBase, aStaticEntityRegistersWithAGeneratedIdAndAnswersTypeAndComponentQueries)
{
    QQuickItem* root = engine->load(
        game("EntityBase { objectName: \"static\"; entityType: \"tree\"; variationType: \"oak\"\n"
             "  ComponentBase { objectName: \"leaves\"; Item { objectName: \"deep\" } } }"));
    QQuickItem* tree = nullptr;
    for (QQuickItem* child : findItem(root, "scene")->childItems()) {
        if (child->property("entityType").toString() == "tree")
            tree = child;
    }
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->property("entityId").toString(), "tree_oak_0");
    EXPECT_EQ(entity(root, "tree_oak_0"), tree);
    QVariant yes, no, leaves, deep;
    QMetaObject::invokeMethod(tree, "isOfType", Q_RETURN_ARG(QVariant, yes), Q_ARG(QVariant, "oak"));
    QMetaObject::invokeMethod(tree, "isOfType", Q_RETURN_ARG(QVariant, no), Q_ARG(QVariant, "pine"));
    QMetaObject::invokeMethod(tree, "getComponent", Q_RETURN_ARG(QVariant, leaves), Q_ARG(QVariant, "leaves"));
    QMetaObject::invokeMethod(tree, "getComponent", Q_RETURN_ARG(QVariant, deep), Q_ARG(QVariant, "deep"));
    EXPECT_TRUE(yes.toBool());
    EXPECT_FALSE(no.toBool());
    ASSERT_NE(leaves.value<QObject*>(), nullptr);
    EXPECT_EQ(leaves.value<QObject*>()->property("owningEntity").value<QObject*>(), tree);
    EXPECT_EQ(deep.value<QObject*>(), nullptr);

    // Destroyed by QML, it only unregisters itself.
    delete tree;
    EXPECT_EQ(entity(root, "tree_oak_0"), nullptr);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
