// The level editor on a game of its own: a recording entity manager, a level loader and the three
// storage locations, with exports read back from the documents folder.

#include "LoopbackHttpServer.h"
#include "MessageLog.h"
#include "Zanth/gamenetwork/GameNetworkHost.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

QString documents()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/";
}

QString shippedLevels()
{
    return QDir::currentPath() + "/shipped/";
}

// A LevelBase that adds its own custom data before a save and counts the records it was given.
const QByteArray kLevelFile = "import QtQuick 2.15\nimport Zanth 1.0\nLevelBase {\n"
                              "    property int loadedCount: 0\n"
                              "    onLevelLoaded: loadedCount += 1\n"
                              "    onLevelAboutToBeSaved: {\n"
                              "        levelData.customData = { fromLevel: \"tower\" }\n"
                              "        levelData.levelMetaData = { levelName: \"tower level\" }\n    }\n}\n";

class LevelEditorTest : public ::testing::Test
{
protected:
    std::unique_ptr<QObject> game;

    void SetUp() override
    {
        writeTestFile(QDir::currentPath() + "/Level1.qml", kLevelFile);
        QDir(shippedLevels()).removeRecursively();
        QDir().mkpath(shippedLevels());
    }
    void TearDown() override
    {
        if (game)
            callQml(editor(), "clearAllLevels");
    }

    QObject* start(const QByteArray& editorProperties = "")
    {
        game = GameNetworkHost::instance().create(
            "Item {\n    property alias editor: levelEditor\n    property alias loader: levelLoader\n"
            "    property alias manager: entityManager\n"
            "    QtObject {\n        id: entityManager\n"
            "        property var entities: ({ e1: { entityId: \"e1\", entityType: \"box\", x: 32, y: 64 } "
            "})\n"
            "        property int created: 0\n        property int removals: 0\n"
            "        function storeEntitiesAsJson(types) { return entities }\n"
            "        function createEntityFromEntityTypeAndVariationType(entity) {\n"
            "            if (!entity.entityType) return undefined\n"
            "            created += 1\n            return entity.entityType + created\n        }\n"
            "        function removeEntitiesByFilter(types) { removals += 1 }\n"
            "        function moveFirst() { entities.e1.x = 999 }\n    }\n"
            "    LevelLoader { id: levelLoader }\n"
            "    LevelEditor {\n        id: levelEditor\n        levelLoader: levelLoader\n"
            "        applicationJSONLevelsDirectory: \"" +
            QUrl::fromLocalFile(shippedLevels().chopped(1)).toString().toUtf8() + "\"\n" + editorProperties +
            "    }\n}\n");
        return game.get();
    }
    QObject* editor() const { return game->property("editor").value<QObject*>(); }
    QObject* manager() const { return game->property("manager").value<QObject*>(); }
    QObject* loadedLevel() const
    {
        return game->property("loader").value<QObject*>()->property("loadedLevel").value<QObject*>();
    }
    QVariantMap currentMeta() const
    {
        return qmlProperty(editor(), "currentLevelData").toMap().value("levelMetaData").toMap();
    }
};

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

} // namespace

TEST_F(LevelEditorTest, aNewLevelIsSavedOnceUnderItsIdAndDuplicatedUnderAnother)
{
    ASSERT_TRUE(start());
    QSignalSpy saved(editor(), SIGNAL(saveLevelFinished()));
    callQml(editor(), "createNewLevel");
    callQml(editor(), "saveCurrentLevel");
    ASSERT_EQ(saved.size(), 1);
    const QVariant levelId = qmlProperty(editor(), "currentLevelId");
    EXPECT_EQ(qmlProperty(editor(), "currentLevelName").toString(), "DefaultLevelName");
    EXPECT_EQ(currentMeta().value("storageLocation").toString(), "authorGenerated");
    const QString created = currentMeta().value("creationTime").toString();

    callQml(editor(), "saveCurrentLevel", {QVariantMap{{"levelMetaData", QVariantMap{{"difficulty", 3}}}}});
    EXPECT_EQ(qmlProperty(editor(), "currentLevelId"), levelId);
    EXPECT_EQ(currentMeta().value("creationTime").toString(), created);
    EXPECT_EQ(currentMeta().value("difficulty").toInt(), 3);
    EXPECT_EQ(qmlProperty(editor(), "authorGeneratedLevels").toList().size(), 1);

    callQml(editor(), "duplicateCurrentLevel",
            {QVariantMap{{"levelMetaData", QVariantMap{{"levelName", "copy"}}}}});
    EXPECT_NE(qmlProperty(editor(), "currentLevelId"), levelId);
    const QVariantList levels = qmlProperty(editor(), "authorGeneratedLevels").toList();
    ASSERT_EQ(levels.size(), 2);
    EXPECT_EQ(levels[0].toMap().value("levelName").toString(), "DefaultLevelName");
    EXPECT_EQ(levels[1].toMap().value("levelName").toString(), "copy");
    EXPECT_EQ(qmlProperty(editor(), "currentLevelData").toMap().value("entityData").toMap().keys(),
              QStringList{"e1"});

    // The current record is a copy: moving an entity afterwards must not change it.
    callQml(manager(), "moveFirst");
    EXPECT_EQ(qmlProperty(editor(), "currentLevelData")
                  .toMap()
                  .value("entityData")
                  .toMap()
                  .value("e1")
                  .toMap()
                  .value("x"),
              32);
}

TEST_F(LevelEditorTest, removingTakesTheCurrentLevelOutAndWithoutOneFailsWithCodeThree)
{
    ASSERT_TRUE(start());
    QSignalSpy errors(editor(), SIGNAL(levelError(QVariant)));
    QSignalSpy removed(editor(), SIGNAL(removeLevelFinished(QString)));
    callQml(editor(), "removeCurrentLevel");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0][0].value<QJSValue>().property("code").toInt(), 3);
    EXPECT_EQ(removed.size(), 0);

    callQml(editor(), "createNewLevel");
    callQml(editor(), "saveCurrentLevel");
    callQml(editor(), "removeCurrentLevel");
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][0].toString(), "DefaultLevelName");
    EXPECT_TRUE(qmlProperty(editor(), "authorGeneratedLevels").toList().isEmpty());
    EXPECT_FALSE(qmlProperty(editor(), "currentLevelId").isValid());
}

TEST_F(LevelEditorTest, aFailedSaveReportsCodeFourInsteadOfSuccess)
{
    ASSERT_TRUE(start());
    auto store = GameNetworkHost::instance().create("Storage { databaseName: \"authorGenerated\" }\n");
    QVariantList levels;
    for (int levelId = 1; levelId <= 10001; ++levelId)
        levels.append(QVariantMap{{"levelId", levelId}});
    ASSERT_EQ(callQml(store.get(), "setValue", {"levels", levels}).toInt(), 1);

    QSignalSpy errors(editor(), SIGNAL(levelError(QVariant)));
    QSignalSpy saved(editor(), SIGNAL(saveLevelFinished()));
    callQml(editor(), "createNewLevel");
    callQml(editor(), "saveCurrentLevel");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0][0].value<QJSValue>().property("code").toInt(), 4);
    EXPECT_EQ(saved.size(), 0);
    EXPECT_FALSE(qmlProperty(editor(), "currentLevelId").isValid());
}

TEST_F(LevelEditorTest, anExportedLevelComesBackAsAShippedLevelUnderItsIdAfterARestart)
{
    ASSERT_TRUE(start());
    callQml(editor(), "exportLevelAsFile");
    EXPECT_TRUE(QFile::exists(documents() + "UndefinedLevel.json"));

    callQml(editor(), "createNewLevel",
            {QVariantMap{{"levelMetaData", QVariantMap{{"levelName", "exported"}}}}});
    callQml(editor(), "saveCurrentLevel");
    const int levelId = qmlProperty(editor(), "currentLevelId").toInt();
    QSignalSpy exported(editor(), SIGNAL(exportLevelAsFileFinished()));
    callQml(editor(), "exportLevelAsFile", {"../../evil"});
    ASSERT_EQ(exported.size(), 1);
    EXPECT_FALSE(QFile::exists(QDir::cleanPath(documents() + "../../evil.json")));
    const QJsonObject level = readJson(documents() + "evil.json");
    EXPECT_EQ(level.keys(),
              (QStringList{"customData", "editableComponentData", "entityData", "levelMetaData"}));
    EXPECT_EQ(level.value("levelMetaData").toObject().value("levelId").toInt(), levelId);

    ASSERT_TRUE(QFile::copy(documents() + "evil.json", shippedLevels() + "evil.json"));
    writeTestFile(shippedLevels() + "broken.json", "{ \"levelMetaData\": { \"levelId\": 5, ");
    writeTestFile(shippedLevels() + "notALevel.json", "[1, 2, 3]");
    MessageLog log;
    ASSERT_TRUE(start());
    const QVariantList shipped = qmlProperty(editor(), "applicationJSONLevels").toList();
    ASSERT_EQ(shipped.size(), 1);
    EXPECT_EQ(shipped[0].toMap().value("levelId").toInt(), levelId);
    EXPECT_EQ(shipped[0].toMap().value("storageLocation").toString(), "applicationJSON");
    EXPECT_EQ(log.lines().filter("skipped the malformed level file").size(), 2);
}

TEST_F(LevelEditorTest, aLevelBaseIsLoadedBesideTheLoaderAndAddsItsDataToASave)
{
    ASSERT_TRUE(start());
    QSignalSpy loaded(editor(), SIGNAL(loadLevelFinished()));
    callQml(editor(), "createNewLevel",
            {QVariantMap{{"levelMetaData", QVariantMap{{"levelBaseUrl", "Level1.qml"}}}}});
    QObject* level = loadedLevel();
    ASSERT_TRUE(level);
    EXPECT_EQ(level->property("loadedCount").toInt(), 1);
    callQml(editor(), "saveCurrentLevel");
    EXPECT_EQ(
        qmlProperty(editor(), "currentLevelData").toMap().value("customData").toMap().value("fromLevel"),
        "tower");
    EXPECT_EQ(
        qmlProperty(level->property("levelData").value<QObject*>(), "levelMetaData").toMap().value("levelId"),
        qmlProperty(editor(), "currentLevelId"));
    // The level's own name counts only where the save properties give none.
    EXPECT_EQ(qmlProperty(editor(), "currentLevelName").toString(), "tower level");
    callQml(editor(), "saveCurrentLevel",
            {QVariantMap{{"levelMetaData", QVariantMap{{"levelName", "mine"}}}}});
    EXPECT_EQ(qmlProperty(editor(), "currentLevelName").toString(), "mine");

    // Loading the same level again replaces its entities instead of adding a second set.
    const QVariantMap meta = currentMeta();
    const int removalsBefore = manager()->property("removals").toInt();
    callQml(editor(), "loadSingleLevel", {meta});
    callQml(editor(), "loadSingleLevel", {meta});
    EXPECT_EQ(loaded.size(), 2);
    EXPECT_EQ(manager()->property("removals").toInt(), removalsBefore + 2);
    EXPECT_EQ(manager()->property("created").toInt(), 2);
}

TEST_F(LevelEditorTest, aStaticQmlLevelTakesItsEntitiesFromItsFileNotFromTheRecord)
{
    ASSERT_TRUE(start("        qmlLevelList: [{ levelMetaData: { levelId: 1, levelName: \"first\", "
                      "levelBaseUrl: \"Level1.qml\" }, entityData: { e7: { entityType: \"box\" } } }]\n"));
    const QVariantList levels = qmlProperty(editor(), "applicationQMLLevels").toList();
    ASSERT_EQ(levels.size(), 1);
    callQml(editor(), "loadSingleLevel", {levels[0]});
    ASSERT_TRUE(loadedLevel());
    EXPECT_EQ(manager()->property("created").toInt(), 0);
    EXPECT_EQ(qmlProperty(editor(), "currentLevelName").toString(), "first");
}

TEST_F(LevelEditorTest, aShippedLevelPointingAtRemoteQmlIsRefusedWithoutARequest)
{
    LoopbackHttpServer server;
    server.answer("/evil.qml", LoopbackAnswer{200, "import QtQuick 2.15\nItem {}\n"});
    writeTestFile(shippedLevels() + "remote.json",
                  "{ \"levelMetaData\": { \"levelId\": 9, \"levelName\": \"remote\", \"levelBaseUrl\": \"" +
                      server.baseUrl().toUtf8() + "/evil.qml\" } }");
    ASSERT_TRUE(start());
    QSignalSpy loaded(editor(), SIGNAL(loadLevelFinished()));
    const QVariantList shipped = qmlProperty(editor(), "applicationJSONLevels").toList();
    ASSERT_EQ(shipped.size(), 1);
    callQml(editor(), "loadSingleLevel", {shipped[0]});
    QTest::qWait(300);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(loaded.size(), 0);
    EXPECT_EQ(loadedLevel(), nullptr);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
