// The level records of one storage location: ids, times, and what a save leaves in the store.

#include "Zanth/gamenetwork/GameNetworkHost.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Each test opens a location of its own, so that the databases of earlier tests don't show.
std::unique_ptr<QObject> levelStorage(const char* location)
{
    // LevelStorage is internal to the library: reach it through a component of the level folder.
    return GameNetworkHost::instance().create(
        QByteArray("import \"qrc:/qml/Zanth/level\"\nLevelStorage { storageLocation: \"") + location +
        "\" }\n");
}

QVariantMap metaOf(const QVariant& record)
{
    return record.toMap().value("levelMetaData").toMap();
}

bool isUtcTimeText(const QString& text)
{
    static const QRegularExpression form(
        "^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} "
        "\\d\\d:\\d\\d:\\d\\d GMT$");
    return form.match(text).hasMatch();
}

} // namespace

TEST(LevelStorage, aNewLevelGetsAnIdAndEqualTimesWhichASecondSaveKeeps)
{
    auto storage = levelStorage("drawsIds");
    ASSERT_TRUE(storage);
    const QVariantMap record{
        {"levelMetaData", QVariantMap{{"levelName", "one"}, {"storageLocation", "elsewhere"}}},
        {"entityData", QVariantMap{}}};
    ASSERT_TRUE(callQml(storage.get(), "saveLevel", {record}).toBool());
    const QVariantMap first = metaOf(qmlProperty(storage.get(), "currentActiveLevel"));
    const int levelId = first.value("levelId").toInt();
    EXPECT_GE(levelId, 1);
    EXPECT_LE(levelId, 10001);
    EXPECT_EQ(first.value("creationTime"), first.value("lastModificationTime"));
    EXPECT_TRUE(isUtcTimeText(first.value("lastModificationTime").toString()))
        << first.value("lastModificationTime").toString().toStdString();
    EXPECT_EQ(first.value("storageLocation").toString(), "drawsIds");

    QVariantMap again = record;
    QVariantMap meta = first;
    meta["creationTime"] = "Thu, 01 Jan 1970 00:00:00 GMT";
    again["levelMetaData"] = meta;
    ASSERT_TRUE(callQml(storage.get(), "saveLevel", {again}).toBool());
    const QVariantMap second = metaOf(qmlProperty(storage.get(), "currentActiveLevel"));
    EXPECT_EQ(second.value("levelId").toInt(), levelId);
    EXPECT_EQ(second.value("creationTime").toString(), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(qmlProperty(storage.get(), "allLevels").toList().size(), 1);

    callQml(storage.get(), "getLevel", {levelId});
    EXPECT_EQ(metaOf(qmlProperty(storage.get(), "currentActiveLevel")).value("levelName").toString(), "one");
    callQml(storage.get(), "getLevel", {levelId + 1});
    EXPECT_FALSE(qmlProperty(storage.get(), "currentActiveLevel").isValid());
}

TEST(LevelStorage, aGivenIdIsKeptAndMayExistInTwoLocations)
{
    auto first = levelStorage("keepsIdsA");
    auto second = levelStorage("keepsIdsB");
    const QVariantMap record{{"levelMetaData", QVariantMap{{"levelId", 77}, {"levelName", "shipped"}}}};
    ASSERT_TRUE(callQml(first.get(), "saveLevel", {record}).toBool());
    ASSERT_TRUE(callQml(second.get(), "saveLevel", {record}).toBool());
    EXPECT_EQ(metaOf(qmlProperty(second.get(), "currentActiveLevel")).value("levelId").toInt(), 77);

    callQml(first.get(), "removeLevel", {77});
    EXPECT_FALSE(qmlProperty(first.get(), "currentActiveLevel").isValid());
    EXPECT_TRUE(qmlProperty(first.get(), "allLevels").toList().isEmpty());
    callQml(second.get(), "getLevel", {77});
    EXPECT_EQ(metaOf(qmlProperty(second.get(), "currentActiveLevel")).value("levelName").toString(),
              "shipped");
}

TEST(LevelStorage, aFullLocationRefusesANewLevelInsteadOfDrawingForever)
{
    auto storage = levelStorage("full");
    QVariantList levels;
    for (int levelId = 1; levelId <= 10001; ++levelId)
        levels.append(QVariantMap{{"levelId", levelId}});
    ASSERT_EQ(callQml(storage.get(), "setValue", {"levels", levels}).toInt(), 1);
    EXPECT_FALSE(
        callQml(storage.get(), "saveLevel", {QVariantMap{{"levelMetaData", QVariantMap{}}}}).toBool());

    levels.removeAt(4321);
    ASSERT_EQ(callQml(storage.get(), "setValue", {"levels", levels}).toInt(), 1);
    ASSERT_TRUE(
        callQml(storage.get(), "saveLevel", {QVariantMap{{"levelMetaData", QVariantMap{}}}}).toBool());
    EXPECT_EQ(metaOf(qmlProperty(storage.get(), "currentActiveLevel")).value("levelId").toInt(), 4322);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
