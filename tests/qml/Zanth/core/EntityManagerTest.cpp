// Entities and their manager, driven from QML on the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"

#include <QJsonDocument>
#include <QQmlEngine>
#include <QQuickItem>

using zanth2d::ZTNode;

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
           "  property var boxComponent: box\n"
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
    QMetaObject::invokeMethod(root, "callManager", Q_RETURN_ARG(QVariant, result),
                              Q_ARG(QVariant, QString(function)), Q_ARG(QVariant, a), Q_ARG(QVariant, b));
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
    // The empty scene got its node with its first entity, and the entities hang below it.
    ZTNode* sceneNode = engine->wrapper().getNodeFromObject(findItem(root, "scene"));
    ASSERT_NE(sceneNode, nullptr);
    EXPECT_EQ(
        engine->wrapper().getNodeFromObject(qobject_cast<QQuickItem*>(entity(root, "box_2")))->getParent(),
        sceneNode);
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

TEST(EntityManager, entitiesFromAFileBesideTheGameArePooledByTheirUrl)
{
    writeTestFile(engine->folder() + "/qml/entities/Crate.qml",
                  "import QtQuick 2.15\nimport Zanth 1.0\n"
                  "EntityBase { entityType: \"crate\"; poolingEnabled: true }\n");
    QQuickItem* root = engine->load(game());
    const QString first = call(root, "createEntityFromUrl", "entities/Crate.qml").toString();
    EXPECT_EQ(first, "crate_0");
    QObject* crate = entity(root, first);
    ASSERT_NE(crate, nullptr);
    call(root, "removeEntityById", first);
    const QString again = call(root, "createEntityFromUrl", "entities/Crate.qml").toString();
    EXPECT_EQ(entity(root, again), crate);
    const MessageLog log;
    EXPECT_FALSE(call(root, "createEntityFromUrl", "entities/Missing.qml").isValid());
    EXPECT_TRUE(log.contains("ERROR: failed to create sprite from url:"));
}

TEST(EntityManager, poolingAheadLeavesTheAskedNumberOfDistinctHiddenEntitiesInThePool)
{
    writeTestFile(engine->folder() + "/qml/entities/Barrel.qml",
                  "import QtQuick 2.15\nimport Zanth 1.0\n"
                  "EntityBase { entityType: \"barrel\"; poolingEnabled: true }\n");
    QQuickItem* root = engine->load(game());
    const auto distinctHidden = [](const QVariantList& pool) {
        QSet<QObject*> items;
        for (const QVariant& entry : pool) {
            QObject* item = entry.value<QObject*>();
            if (item && !item->property("visible").toBool())
                items.insert(item);
        }
        return int(items.size());
    };
    call(root, "createPooledEntitiesFromUrl", "entities/Barrel.qml", 4);
    EXPECT_EQ(distinctHidden(call(root, "getPooledEntityArrayByType", "barrel").toList()), 4);
    // The box kind already has its one pre-created entity pooled: it is among the three.
    call(root, "createPooledEntitiesFromComponent", root->property("boxComponent"), 3);
    EXPECT_EQ(distinctHidden(call(root, "getPooledEntityArrayByType", "box").toList()), 3);
    EXPECT_TRUE(call(root, "getEntityArrayByType", "box").toList().isEmpty());
}

TEST(EntityManager, kindsOfTheDynamicCreationListAreCreatableByTypeFromTheFirstCompletion)
{
    QQuickItem* root = engine->load(
        game("Item { objectName: \"level\"; property var made\n"
             "  Component.onCompleted: made = entityManager.createEntityFromEntityTypeAndVariationType("
             "{ \"entityType\": \"car\", \"entityId\": \"startCar\" }) }"));
    EXPECT_EQ(findItem(root, "level")->property("made").toString(), "startCar");
    QObject* car = entity(root, "startCar");
    ASSERT_NE(car, nullptr);
    EXPECT_TRUE(car->property("visible").toBool());
    // The deferred pre-creation that follows does not make the kinds a second time.
    engine->stepFrames(2);
    EXPECT_EQ(call(root, "getEntityArrayByType", "car").toList().size(), 1);
    EXPECT_EQ(call(root, "getPooledEntityArrayByType", "box").toList().size(), 1);
}

TEST(EntityManager, creationByTypeFindsPreCreatedKindsAndRefusesUnknownOnes)
{
    QQuickItem* root = engine->load(game());
    const QString car =
        call(root, "createEntityFromEntityTypeAndVariationType", QVariantMap{{"entityType", "car"}})
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
    // One type or property name alone is a list of one.
    EXPECT_EQ(call(root, "storeEntitiesAsJson", "car").toMap(), stored);
    const QVariantMap crate = call(root, "storeEntitiesAsJsonWithProperties", "box", "objectName").toMap();
    EXPECT_EQ(crate.keys(), QStringList({"crate"}));
    EXPECT_EQ(crate.value("crate").toMap().value("objectName").toString(), "crate");
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

// A game with a plain box kind and a red variation of it, listed in the given order; pooled or not.
QByteArray boxesAndRedBoxes(const QByteArray& list, bool pooled = false)
{
    const QByteArray pooling = pooled ? "true" : "false";
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  displayFpsEnabled: false\n"
           "  function callManager(name, a, b) { return entityManager[name](a, b) }\n"
           "  function make(component) { return entityManager.createEntityFromComponent(component) }\n"
           "  property var plain: plainBox\n  property var red: redBox\n"
           "  EntityManager { id: entityManager; entityContainer: scene; poolingEnabled: " +
           pooling + "; dynamicCreationEntityList: " + list +
           " }\n"
           "  Component { id: plainBox; EntityBase { entityType: \"box\"; poolingEnabled: " +
           pooling +
           "; property string kind: \"plain\" } }\n"
           "  Component { id: redBox\n"
           "    EntityBase { entityType: \"box\"; variationType: \"red\"; poolingEnabled: " +
           pooling +
           "; property string kind: \"red\" } }\n"
           "  Scene { id: scene }\n}\n";
}

TEST(EntityManager, aTypesPlainComponentAndItsVariationsComponentsAreAllKeptInEitherOrder)
{
    for (const bool pooled : {false, true}) {
        for (const QByteArray list : {"[plainBox, redBox]", "[redBox, plainBox]"}) {
            QQuickItem* root = engine->load(boxesAndRedBoxes(list, pooled));
            ASSERT_NE(root, nullptr);
            const QString plain =
                call(root, "createEntityFromEntityTypeAndVariationType", QVariantMap{{"entityType", "box"}})
                    .toString();
            const QString red = call(root, "createEntityFromEntityTypeAndVariationType",
                                     QVariantMap{{"entityType", "box"}, {"variationType", "red"}})
                                    .toString();
            ASSERT_NE(entity(root, plain), nullptr) << list.constData();
            ASSERT_NE(entity(root, red), nullptr) << list.constData();
            EXPECT_EQ(entity(root, plain)->property("kind").toString(), "plain") << list.constData();
            EXPECT_EQ(entity(root, red)->property("kind").toString(), "red") << list.constData();
            // A pooled red box is no plain box: each component gives its own kind, reused or new.
            call(root, "removeAllEntities");
            for (const char* kind : {"plain", "red", "plain", "red"}) {
                QVariant id;
                QMetaObject::invokeMethod(root, "make", Q_RETURN_ARG(QVariant, id),
                                          Q_ARG(QVariant, root->property(kind)));
                ASSERT_NE(entity(root, id.toString()), nullptr);
                EXPECT_EQ(entity(root, id.toString())->property("kind").toString(), kind)
                    << list.constData() << (pooled ? " pooled" : "");
                call(root, "removeEntityById", id);
            }
        }
    }
}

TEST(EntityManager, aPooledEntityIsReusedOnlyForAFileOfItsOwnKind)
{
    writeTestFile(
        engine->folder() + "/qml/entities/PlainBall.qml",
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "EntityBase { entityType: \"ball\"; poolingEnabled: true; property string kind: \"plain\" }\n");
    writeTestFile(engine->folder() + "/qml/entities/RedBall.qml",
                  "import QtQuick 2.15\nimport Zanth 1.0\n"
                  "EntityBase { entityType: \"ball\"; variationType: \"red\"; poolingEnabled: true\n"
                  "  property string kind: \"red\" }\n");
    QQuickItem* root = engine->load(game());
    for (const char* file : {"Plain", "Red"}) {
        const QString id =
            call(root, "createEntityFromUrl", QString("entities/%1Ball.qml").arg(file)).toString();
        call(root, "removeEntityById", id);
    }
    for (const char* file : {"Red", "Plain", "Red", "Plain"}) {
        const QString id =
            call(root, "createEntityFromUrl", QString("entities/%1Ball.qml").arg(file)).toString();
        ASSERT_NE(entity(root, id), nullptr);
        EXPECT_EQ(entity(root, id)->property("kind").toString(), QString(file).toLower());
        call(root, "removeEntityById", id);
    }
    EXPECT_EQ(call(root, "getPooledEntityArrayByType", "ball").toList().size(), 2) << "both were reused";
}

TEST(EntityManager, removingWithoutTypesRemovesEveryEntityThatMayBeRemovedAndAStringIsOneType)
{
    QQuickItem* root = engine->load(game("EntityBase { entityType: \"tree\"; entityId: \"keep\"\n"
                                         "  preventFromRemovalFromEntityManager: true }"));
    make(root, "makeBox");
    make(root, "makeCar");
    make(root, "makeCar");
    call(root, "removeEntitiesByFilter", "car");
    EXPECT_EQ(call(root, "getEntityArrayByType", "car").toList().size(), 0);
    EXPECT_EQ(call(root, "getEntityArrayByType", "box").toList().size(), 1);
    call(root, "removeEntitiesByFilter");
    EXPECT_EQ(call(root, "getEntityArrayByType", "box").toList().size(), 0);
    EXPECT_NE(entity(root, "keep"), nullptr) << "one that may not be removed stays";
}

TEST(EntityManager, storingJudgesAnEntityByItsOwnVisibilityNotItsScenes)
{
    QQuickItem* root = engine->load(game());
    make(root, "makeCar", {{"entityId", "shown"}});
    make(root, "makeCar", {{"entityId", "hiddenByTheGame"}});
    make(root, "makeCar", {{"entityId", "madeHidden"}, {"visible", false}});
    entity(root, "hiddenByTheGame")->setProperty("visible", false);
    QQuickItem* scene = findItem(root, "scene");
    const QStringList stored = {"shown"};
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), stored);
    // A scene fading out hides its entities from Qt's point of view, not from the game's.
    scene->setOpacity(0);
    ASSERT_FALSE(entity(root, "shown")->property("visible").toBool());
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), stored);
    scene->setOpacity(1);
    scene->setVisible(false);
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), stored);
    scene->setVisible(true);
    entity(root, "hiddenByTheGame")->setProperty("visible", true);
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), QStringList({"hiddenByTheGame", "shown"}));

    // What the game writes while the scene is hidden counts too, though visible reads false all along.
    scene->setVisible(false);
    entity(root, "hiddenByTheGame")->setProperty("visible", false);
    entity(root, "madeHidden")->setProperty("visible", true);
    make(root, "makeCar", {{"entityId", "madeHiddenInAHiddenScene"}, {"visible", false}});
    make(root, "makeCar", {{"entityId", "madeInAHiddenScene"}});
    const QStringList whileHidden = {"madeHidden", "madeInAHiddenScene", "shown"};
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), whileHidden);
    scene->setVisible(true);
    EXPECT_EQ(call(root, "storeEntitiesAsJson").toMap().keys(), whileHidden);
}

TEST(EntityManager, aSwappedLevelTakesItsEntitiesAndPoolsAlongAndTheKindsStayCreatable)
{
    const QByteArray levelFile = "import QtQuick 2.15\nimport Zanth 1.0\nLevelBase { }\n";
    writeTestFile(engine->folder() + "/qml/levels/LevelA.qml", levelFile);
    writeTestFile(engine->folder() + "/qml/levels/LevelB.qml", levelFile);
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    displayFpsEnabled: false
    function callManager(name, a, b) { return entityManager[name](a, b) }
    function swapTo(url) { levelEditor.createNewLevel({ levelMetaData: { levelBaseUrl: url } }) }
    property var level: levelLoader.loadedLevel
    EntityManager {
        id: entityManager
        entityContainer: levelLoader.loadedLevel
        poolingEnabled: true
        dynamicCreationEntityList: [coin]
    }
    Component { id: coin; EntityBase { entityType: "coin"; poolingEnabled: true } }
    Scene {
        LevelLoader { id: levelLoader }
        LevelEditor { id: levelEditor; levelLoader: levelLoader }
    }
}
)");
    ASSERT_NE(root, nullptr);
    const auto level = [root] { return root->property("level").value<QObject*>(); };
    const auto swapTo = [root](const char* url) {
        QMetaObject::invokeMethod(root, "swapTo", Q_ARG(QVariant, QString(url)));
    };
    swapTo("levels/LevelA.qml");
    ASSERT_TRUE(engine->stepFramesUntil(
        [&] { return level() && call(root, "getPooledEntityArrayByType", "coin").toList().size() == 1; }));
    QObject* levelA = level();
    const QVariantMap coinProperties{{"entityType", "coin"}};
    const QString first = call(root, "createEntityFromEntityTypeAndVariationType", coinProperties).toString();
    const QString second =
        call(root, "createEntityFromEntityTypeAndVariationType", coinProperties).toString();
    ASSERT_NE(entity(root, second), nullptr);
    EXPECT_EQ(entity(root, second)->parent(), levelA);

    const MessageLog log;
    swapTo("levels/LevelB.qml");
    EXPECT_EQ(call(root, "getEntityArrayByType", "coin").toList().size(), 0) << "removed by the swap";
    ASSERT_TRUE(engine->stepFramesUntil([&] { return level() && level() != levelA; }));
    engine->stepFrames(2);
    EXPECT_TRUE(call(root, "getPooledEntityArrayByType", "coin").toList().isEmpty())
        << "the pooled coins went with level A";
    const QString made = call(root, "createEntityFromEntityTypeAndVariationType", coinProperties).toString();
    ASSERT_NE(entity(root, made), nullptr) << log.lines().join('\n').toStdString();
    EXPECT_EQ(entity(root, made)->parent(), level());
    EXPECT_FALSE(log.lines().join('\n').contains("TypeError")) << log.lines().join('\n').toStdString();

    // A level is rebuilt right after the swap, while the old one still waits for its destruction: its
    // pooled coins would be reused out of sight and go with it. Swapped three times in a row, each
    // level gets coins of its own, and the last keeps its two.
    for (const char* url : {"levels/LevelA.qml", "levels/LevelB.qml", "levels/LevelA.qml"}) {
        call(root, "createEntityFromEntityTypeAndVariationType", coinProperties);
        swapTo(url);
        for (int n = 0; n < 2; ++n) {
            const QString coin =
                call(root, "createEntityFromEntityTypeAndVariationType", coinProperties).toString();
            ASSERT_NE(entity(root, coin), nullptr) << url;
            EXPECT_EQ(entity(root, coin)->parent(), level()) << url;
        }
    }
    QObject* last = level();
    engine->stepFrames(2);
    ASSERT_EQ(level(), last);
    const QVariantList coins = call(root, "getEntityArrayByType", "coin").toList();
    ASSERT_EQ(coins.size(), 2);
    for (const QVariant& coin : coins)
        EXPECT_EQ(coin.value<QObject*>()->parent(), last);
}

TEST(EntityBase, aPoolingSnapshotLeavesBoundAndReadOnlyPropertiesToThemselves)
{
    QQuickItem* root = engine->load(game(R"(EntityBase {
        entityId: "ship"
        entityType: "ship"
        property real level: 1
        property real speed: level * 2
        readonly property real mass: 5
        property real fuel: 10
    })"));
    QObject* ship = entity(root, "ship");
    ASSERT_NE(ship, nullptr);
    QMetaObject::invokeMethod(ship, "saveProperties", Q_ARG(QVariant, QVariant::fromValue(ship)));
    ship->setProperty("level", 3);
    ship->setProperty("fuel", 2);
    ship->setProperty("entityId", "renamed");
    QMetaObject::invokeMethod(ship, "resetDefaultProperties");
    EXPECT_EQ(ship->property("fuel").toDouble(), 10.0);
    EXPECT_EQ(ship->property("level").toDouble(), 1.0);
    // The bindings still hold: the values follow what they are bound to.
    ship->setProperty("level", 4);
    EXPECT_EQ(ship->property("speed").toDouble(), 8.0);
    ship->setProperty("entityId", "again");
    EXPECT_EQ(ship->objectName(), "again");
    EXPECT_EQ(ship->property("mass").toDouble(), 5.0);
}

TEST(EntityBase, aPoolingSnapshotKeepsItsOwnCopiesOfColoursPointsAndScriptArrays)
{
    QQuickItem* root = engine->load(game(R"(EntityBase {
        entityId: "ship"
        entityType: "ship"
        property color tint: "red"
        property point spot: Qt.point(1, 2)
        property var cargo: ["ore"]
        property var log: ({ "trips": 1 })
        // As games change them: in place.
        function spoil() {
            tint = "green"
            spot = Qt.point(5, 5)
            cargo.push("gold")
            log.trips = 9
        }
        function describe() { return tint + " " + spot.x + "," + spot.y + " " + JSON.stringify(cargo) + " " + JSON.stringify(log) }
    })"));
    QObject* ship = entity(root, "ship");
    ASSERT_NE(ship, nullptr);
    const auto describe = [ship] {
        QVariant text;
        QMetaObject::invokeMethod(ship, "describe", Q_RETURN_ARG(QVariant, text));
        return text.toString().toStdString();
    };
    const std::string saved = describe();
    EXPECT_EQ(saved, "#ff0000 1,2 [\"ore\"] {\"trips\":1}");
    QMetaObject::invokeMethod(ship, "saveProperties", Q_ARG(QVariant, QVariant::fromValue(ship)));
    for (int reuse = 0; reuse < 2; ++reuse) {
        QMetaObject::invokeMethod(ship, "spoil");
        ASSERT_NE(describe(), saved);
        QMetaObject::invokeMethod(ship, "resetDefaultProperties");
        EXPECT_EQ(describe(), saved) << "reset " << reuse + 1;
    }
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
    QMetaObject::invokeMethod(tree, "getComponent", Q_RETURN_ARG(QVariant, leaves),
                              Q_ARG(QVariant, "leaves"));
    QMetaObject::invokeMethod(tree, "getComponent", Q_RETURN_ARG(QVariant, deep), Q_ARG(QVariant, "deep"));
    EXPECT_TRUE(yes.toBool());
    EXPECT_FALSE(no.toBool());
    ASSERT_NE(leaves.value<QObject*>(), nullptr);
    EXPECT_EQ(leaves.value<QObject*>()->property("owningEntity").value<QObject*>(), tree);
    EXPECT_EQ(deep.value<QObject*>(), nullptr);

    // Saved properties, the entity's and its children's, come back on reset.
    QObject* leavesItem = leaves.value<QObject*>();
    QMetaObject::invokeMethod(tree, "saveProperties", Q_ARG(QVariant, QVariant::fromValue<QObject*>(tree)));
    tree->setX(77);
    leavesItem->setProperty("opacity", 0.25);
    QMetaObject::invokeMethod(tree, "resetDefaultProperties");
    EXPECT_EQ(tree->x(), 0.0);
    EXPECT_EQ(leavesItem->property("opacity").toDouble(), 1.0);
    EXPECT_EQ(tree->childItems().size(), 1);

    // Destroyed by QML, it only unregisters itself.
    delete tree;
    EXPECT_EQ(entity(root, "tree_oak_0"), nullptr);
}

TEST(CoreComponents, aScriptComponentInitialisesItsScriptOnceAndUpdatesIt)
{
    writeTestFile(engine->folder() + "/qml/behaviour.js",
                  "var initialised = 0\nvar updates = 0\n"
                  "function onInitialize() { initialised++ }\nfunction onUpdate() { updates++ }\n");
    QQuickItem* root = engine->load(
        game("EntityBase { entityType: \"robot\"\n"
             "  ScriptComponent { objectName: \"brain\"; javaScriptSourceUrl: \"behaviour.js\" } }"));
    QObject* brain = root->findChild<QObject*>("brain");
    ASSERT_NE(brain, nullptr);
    QMetaObject::invokeMethod(brain, "update");
    QMetaObject::invokeMethod(brain, "update");
    // The script context is a JavaScript module: it is reached through JavaScript only.
    const QJSValue component = qmlEngine(brain)->toScriptValue(brain);
    const QJSValue script = component.property("script").callWithInstance(component);
    EXPECT_EQ(script.property("initialised").toInt(), 1);
    EXPECT_EQ(script.property("updates").toInt(), 2);

    const MessageLog log;
    brain->setProperty("javaScriptSourceUrl", "missing.js");
    EXPECT_TRUE(log.contains("ERROR AT READING SOURCE FILE, NOT FOUND!"));
}

TEST(CoreComponents, vectorsComputeWithoutChangingThemselvesUnlessLocal)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nimport \"qrc:/qml/Zanth/core/Vector2d.js\" as V\n"
                                    "Item {\n"
                                    "  property var v: new V.Vector2d(3, 4)\n"
                                    "  property real length: v.length()\n"
                                    "  property var unit: v.normalize()\n"
                                    "  property var sum: V.Vector2d.add(v, new V.Vector2d({x: 1, y: 1}))\n"
                                    "  property var scaled: v.clone().multiplyLocal(2) }\n");
    EXPECT_EQ(root->property("length").toDouble(), 5.0);
    const QVariantMap unit = root->property("unit").toMap();
    EXPECT_DOUBLE_EQ(unit.value("x").toDouble(), 0.6);
    EXPECT_DOUBLE_EQ(unit.value("y").toDouble(), 0.8);
    EXPECT_EQ(root->property("v").toMap().value("x").toDouble(), 3.0);
    EXPECT_EQ(root->property("sum").toMap().value("y").toDouble(), 5.0);
    EXPECT_EQ(root->property("scaled").toMap().value("x").toDouble(), 6.0);
}

TEST(CoreComponents, twoCachedRequestsForOneFileShareOneResultAndCoreWithoutContainerIsIdle)
{
    writeTestFile(engine->folder() + "/qml/level.json", "{\"boxes\": [1, 2, 3]}");
    const MessageLog log;
    QQuickItem* root = engine->load(game(
        "CachedXMLHttpRequest { id: first; objectName: \"first\"; Component.onCompleted: "
        "parseFile(\"level.json\") }\n"
        "CachedXMLHttpRequest { objectName: \"second\"; Component.onCompleted: parseFile(\"level.json\") }\n"
        "Core { objectName: \"core\" }"));
    QObject* first = root->findChild<QObject*>("first");
    QObject* second = root->findChild<QObject*>("second");
    for (int i = 0; i < 50 && !(first->property("result").isValid() && second->property("result").isValid());
         ++i)
        engine->stepFrames(1);
    EXPECT_EQ(first->property("result").toMap().value("boxes").toList().size(), 3);
    EXPECT_EQ(second->property("result").toMap(), first->property("result").toMap());
    const QVariantMap reading =
        root->property("globalProperties").value<QObject*>()->property("currentlyReadFiles").toMap();
    EXPECT_TRUE(reading.isEmpty());

    EXPECT_TRUE(log.contains("WARNING: no entityContainer specified for core, do not run the update loop!"));
    EXPECT_EQ(root->findChild<QObject*>("core")->property("timeSum").toDouble(), 0.0);
}

TEST(CoreComponents, aFileThatCannotBeReadFailsEveryWaiterAndALaterRequestReadsItAgain)
{
    const MessageLog log;
    QQuickItem* root = engine->load(game(
        "CachedXMLHttpRequest { objectName: \"first\"; property int failures\n"
        "  onReadFailed: (filename) => { if (filename === \"late.json\") failures++ }\n"
        "  Component.onCompleted: parseFile(\"late.json\") }\n"
        "CachedXMLHttpRequest { objectName: \"second\"; property int failures; onReadFailed: failures++\n"
        "  Component.onCompleted: parseFile(\"late.json\") }\n"
        "CachedXMLHttpRequest { objectName: \"doomed\" }\n"
        "CachedXMLHttpRequest { objectName: \"orphan\"; property int failures; onReadFailed: failures++ }"));
    ASSERT_NE(root, nullptr);
    QObject* first = root->findChild<QObject*>("first");
    QObject* second = root->findChild<QObject*>("second");
    ASSERT_TRUE(engine->stepFramesUntil(
        [&] { return first->property("failures").toInt() > 0 && second->property("failures").toInt() > 0; }));
    engine->stepFrames(2);
    EXPECT_EQ(first->property("failures").toInt(), 1);
    EXPECT_EQ(second->property("failures").toInt(), 1);
    EXPECT_FALSE(first->property("result").isValid());
    QObject* shared = root->property("globalProperties").value<QObject*>();
    EXPECT_TRUE(shared->property("currentlyReadFiles").toMap().isEmpty());
    EXPECT_TRUE(log.contains("ERROR: CachedXMLHttpRequest: the file late.json"));

    writeTestFile(engine->folder() + "/qml/late.json", "{\"waves\": 4}");
    QMetaObject::invokeMethod(second, "parseFile", Q_ARG(QVariant, "late.json"));
    ASSERT_TRUE(engine->stepFramesUntil([&] { return second->property("result").isValid(); }));
    EXPECT_EQ(second->property("result").toMap().value("waves").toInt(), 4);
    QMetaObject::invokeMethod(first, "parseFile", Q_ARG(QVariant, "late.json"));
    EXPECT_EQ(first->property("result").toMap().value("waves").toInt(), 4) << "taken from the cache";

    // A reader that goes before its answer fails the instances waiting for it.
    QObject* orphan = root->findChild<QObject*>("orphan");
    QObject* doomed = root->findChild<QObject*>("doomed");
    QMetaObject::invokeMethod(doomed, "parseFile", Q_ARG(QVariant, "other.json"));
    QMetaObject::invokeMethod(orphan, "parseFile", Q_ARG(QVariant, "other.json"));
    delete doomed;
    EXPECT_EQ(orphan->property("failures").toInt(), 1);
    EXPECT_TRUE(shared->property("currentlyReadFiles").toMap().isEmpty());
    engine->stepFrames(2);
}

int main(int argc, char** argv)
{
    // Games read their JSON files with XMLHttpRequest.
    qputenv("QML_XHR_ALLOW_FILE_READ", "1");
    return runTestsOnInProcessEngine(argc, argv, engine);
}
