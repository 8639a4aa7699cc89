// The game-network pages on the engine in the test process, against the loopback game server: what they
// ask the server for, what they list, and what the window shows.

#include "GameNetworkHost.h"
#include "GameServer.h"
#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include "cocoa/ZTSet.h"
#include "platform/linux/ZTEGLView.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QStyleHints>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

InProcessEngine* engine = nullptr;

class GameNetworkViewTest : public ::testing::Test
{
protected:
    GameServer server{QStringLiteral("secret")};
    QQuickItem* window = nullptr;
    QObject* network = nullptr;
    QQuickItem* view = nullptr;

    // Another player whose name holds markup, and the player (user 7, "ann") further down.
    void SetUp() override
    {
        server.answer = [](const QJsonObject& request) -> std::optional<GameReply> {
            if (request.value("action") != "get_scores")
                return std::nullopt;
            const QJsonArray scores{
                QJsonObject{{"user", QJsonObject{{"id", 9}, {"name", "<b>Bold</b> & <i>co</i>"}}}, {"value", 300}},
                QJsonObject{{"user", QJsonObject{{"id", 11}, {"name", "4711"}}}, {"value", 200}},
                QJsonObject{{"user", QJsonObject{{"id", 7}, {"name", "ann"}}}, {"value", 120.4}}};
            return GameReply::success(QJsonObject{{"scores", scores}, {"page", 1}, {"per_page", 30},
                                                  {"total_count", 3}, {"pos", 2}, {"value", 120.4}});
        };
        window = engine->load(
            "import QtQuick 2.15\nimport Zanth 1.0\n"
            "GameWindow {\n  width: 480; height: 640; displayFpsEnabled: false\n"
            "  ZanthGameNetwork { id: gameNetwork; objectName: \"network\"; gameId: 42; secret: \"secret\"\n"
            "    hostingUrl: \"" + server.hostingUrl().toUtf8() + "\"\n"
            "    defaultLeaderboardName: \"level1\"; errorReportingLevel: 0; clearAllUserDataAtStartup: true\n"
            "    gameNetworkView: gnView\n"
            "    achievements: [ Achievement { key: \"first\"; name: \"First <steps>\"; target: 3 } ] }\n"
            "  ZanthGameNetworkView { id: gnView; objectName: \"view\" }\n}\n");
        ASSERT_NE(window, nullptr);
        network = findItem(window, "network");
        view = findItem(window, "view");
        ASSERT_NE(network, nullptr);
        ASSERT_NE(view, nullptr);
    }

    template <typename Condition> bool waitFrames(Condition condition, int milliseconds = 8000)
    {
        return eventually(
            [&] {
                engine->stepFrames(1);
                return condition();
            },
            milliseconds);
    }
    QQuickItem* item(const char* name) const { return findItem(view, name); }
    // The visible items below one (a Repeater's rows included), in the order they are shown, with this
    // object name (any when empty).
    static QList<QQuickItem*> shownItems(QQuickItem* below, const QString& name = QString())
    {
        QList<QQuickItem*> found;
        QList<QQuickItem*> children = below->childItems();
        std::stable_sort(children.begin(), children.end(),
                         [](QQuickItem* a, QQuickItem* b) { return a->mapToScene({}).y() < b->mapToScene({}).y(); });
        for (QQuickItem* child : children) {
            if (!child->isVisible())
                continue;
            if (name.isEmpty() || child->objectName() == name)
                found.append(child);
            found.append(shownItems(child, name));
        }
        return found;
    }
    static QStringList texts(QQuickItem* below, const char* name)
    {
        QStringList found;
        for (QQuickItem* text : shownItems(below, QString::fromLatin1(name)))
            found.append(text->property("text").toString());
        return found;
    }
};

// A tap at the middle of an item, through the GL view as the platform's mouse touch arrives; apart
// from the last one by more than the double-click interval.
void tap(QQuickItem* item)
{
    std::this_thread::sleep_for(
        std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50));
    const QPointF at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    auto* touch = new zanth2d::ZTTouch();
    zanth2d::ZTSet touches;
    touches.addObject(touch);
    touch->setTouchInfo(float(at.x()), float(at.y()));
    zanth2d::ZTEGLView::sharedOpenGLView()->touchesBegan(&touches);
    zanth2d::ZTEGLView::sharedOpenGLView()->touchesEnded(&touches);
    touch->release();
    engine->stepFrames(1);
}

bool nearly(const QColor& color, int red, int green, int blue)
{
    return std::abs(color.red() - red) < 12 && std::abs(color.green() - green) < 12 &&
           std::abs(color.blue() - blue) < 12;
}

TEST_F(GameNetworkViewTest, theLeaderboardListsTheServersScoresWithNamesAsPlainText)
{
    ASSERT_TRUE(waitFrames([&] { return server.requestsWithAction("get_scores").size() >= 2; }));
    // The all-time blocks ask when they show: friends and all players, all time.
    QList<QPair<bool, int>> asked;
    for (const QJsonObject& request : server.requestsWithAction("get_scores"))
        asked.append({request.value("friends_only").toBool(), request.value("time_limit").toInt(-1)});
    EXPECT_TRUE(asked.contains(qMakePair(true, 0)));
    EXPECT_TRUE(asked.contains(qMakePair(false, 0)));
    EXPECT_EQ(server.requestsWithAction("get_scores").first().value("key").toString(), "level1");

    QQuickItem* allPlayers = item("allalltime");
    ASSERT_NE(allPlayers, nullptr);
    ASSERT_TRUE(waitFrames([&] { return texts(allPlayers, "name").size() == 3; }));
    EXPECT_EQ(texts(allPlayers, "name"),
              QStringList({"<b>Bold</b> & <i>co</i>", "Player 4711", "Me (ann)"}));
    EXPECT_EQ(texts(allPlayers, "position"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(texts(allPlayers, "score"), QStringList({"300", "200", "120"}));

    // Shown as typed: the markup is measured as characters, not applied.
    QQuickItem* boldName = shownItems(allPlayers, QStringLiteral("name")).first();
    EXPECT_EQ(boldName->property("textFormat").toInt(), 0); // Text.PlainText
    QQmlComponent plain(engine->view().engine());
    plain.setData("import QtQuick 2.15\nText { text: \"Bold & co\"; font.pixelSize: 20 }\n", QUrl());
    std::unique_ptr<QObject> styled(plain.create());
    ASSERT_TRUE(styled);
    EXPECT_GT(boldName->property("implicitWidth").toDouble(), styled->property("implicitWidth").toDouble() + 20);

    // Drawn through the scene graph: the white page, the header, and the player's tinted row.
    engine->stepFrames(2);
    const QImage image = engine->grabWindow();
    const QPointF row = shownItems(allPlayers, QStringLiteral("name")).last()->mapToScene(QPointF(0, 0));
    EXPECT_TRUE(nearly(image.pixelColor(int(row.x()) + 200, int(row.y()) - 2), 204, 238, 249))
        << image.pixelColor(int(row.x()) + 200, int(row.y()) - 2).name().toStdString();
    EXPECT_TRUE(nearly(image.pixelColor(470, 630), 255, 255, 255));
    int dark = 0;
    for (int x = 0; x < 480; ++x) {
        for (int y = 0; y < 48; ++y)
            dark += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 50) << "the header's title and icons";
}

TEST_F(GameNetworkViewTest, pagesAndTimeFramesFollowTheStateAndTheMenu)
{
    QQuickItem* header = item("navigationHeader");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->property("title").toString(), "Highscores");
    EXPECT_EQ(header->property("subtitle").toString(), "All Time");

    QMetaObject::invokeMethod(view, "show", Q_ARG(QVariant, "achievement"), Q_ARG(QVariant, QVariant()));
    EXPECT_EQ(header->property("title").toString(), "Achievements");
    for (const char* page : {"leaderboardView", "challengeView", "profileView"})
        EXPECT_FALSE(item(page)->isVisible()) << page;
    EXPECT_TRUE(item("achievementView")->isVisible());
    QStringList entries;
    for (const QVariant& entry : qmlProperty(header, "moreOptions").toList())
        entries.append(entry.toMap().value("text").toString());
    EXPECT_EQ(entries, QStringList({"Profile"}));

    // "This Week" from the menu: the 168-hour blocks show and ask for their scores.
    QMetaObject::invokeMethod(view, "show", Q_ARG(QVariant, "leaderboard"), Q_ARG(QVariant, QVariant()));
    QMetaObject::invokeMethod(view, "moreOptionChosen", Q_ARG(QVariant, "This Week"));
    EXPECT_EQ(header->property("subtitle").toString(), "This Week");
    EXPECT_TRUE(item("friendsweek")->isVisible());
    EXPECT_TRUE(item("allweek")->isVisible());
    EXPECT_FALSE(item("allalltime")->isVisible());
    ASSERT_TRUE(waitFrames([&] {
        for (const QJsonObject& request : server.requestsWithAction("get_scores")) {
            if (request.value("time_limit").toInt() == 168)
                return true;
        }
        return false;
    }));

    QMetaObject::invokeMethod(view, "moreOptionChosen", Q_ARG(QVariant, "Profile"));
    EXPECT_EQ(view->property("state").toString(), "profile");
    EXPECT_EQ(header->property("title").toString(), "Profile");
}

TEST_F(GameNetworkViewTest, theMoreMenuOpensOnTapActsOnAnEntryAndClosesOnATapOutside)
{
    QQuickItem* header = item("navigationHeader");
    QQuickItem* more = item("moreButton");
    tap(more);
    ASSERT_TRUE(header->property("menuOpen").toBool());
    QQuickItem* week = nullptr;
    for (QQuickItem* entry : shownItems(header)) {
        if (entry->objectName() == "moreEntry_This Week")
            week = entry;
    }
    ASSERT_NE(week, nullptr);
    // The open menu is drawn over the page: its entries are white on the grey frame.
    const QPointF corner = week->mapToScene(QPointF(week->width() - 3, 3));
    EXPECT_TRUE(nearly(engine->pixel(int(corner.x()), int(corner.y())), 255, 255, 255));
    tap(week);
    EXPECT_FALSE(header->property("menuOpen").toBool());
    EXPECT_EQ(item("leaderboardView")->property("timeFrame").toString(), "week");

    tap(more);
    ASSERT_TRUE(header->property("menuOpen").toBool());
    tap(item("allweek"));
    EXPECT_FALSE(header->property("menuOpen").toBool());
    EXPECT_EQ(item("leaderboardView")->property("timeFrame").toString(), "week");
    EXPECT_EQ(view->property("state").toString(), "leaderboard");
}

TEST_F(GameNetworkViewTest, anAnswerFillsOnlyItsBlockAndBadAnswersEmptyIt)
{
    QObject* leaderboards = item("leaderboardView");
    const QVariantMap scores{{"scores", QVariantList{QVariantMap{
                                            {"user", QVariantMap{{"id", 3}, {"name", "zed"}}}, {"value", 5}}}}};
    const QVariantMap friendsDay{{"key", "level1"}, {"friends_only", true}, {"time_limit", 24}};
    QMetaObject::invokeMethod(leaderboards, "clearAllLeaderboards");
    QMetaObject::invokeMethod(leaderboards, "updateLeaderboardData", Q_ARG(QVariant, scores),
                              Q_ARG(QVariant, friendsDay));
    for (const char* block : {"friendsalltime", "allalltime", "friendsweek", "allweek", "friendsday", "allday"})
        EXPECT_EQ(qmlProperty(item(block), "scores").toList().size(), QString(block) == "friendsday" ? 1 : 0)
            << block;

    // No scores member, a time limit no block has, no request: nothing breaks, nothing else fills.
    MessageLog log;
    QMetaObject::invokeMethod(leaderboards, "updateLeaderboardData", Q_ARG(QVariant, QVariantMap()),
                              Q_ARG(QVariant, friendsDay));
    EXPECT_TRUE(qmlProperty(item("friendsday"), "scores").toList().isEmpty());
    const QVariantMap noBlock{{"time_limit", 5}};
    QMetaObject::invokeMethod(leaderboards, "updateLeaderboardData", Q_ARG(QVariant, scores),
                              Q_ARG(QVariant, noBlock));
    QMetaObject::invokeMethod(leaderboards, "updateLeaderboardData", Q_ARG(QVariant, QVariant()),
                              Q_ARG(QVariant, QVariant()));
    EXPECT_TRUE(log.contains("[LeaderboardView] WARNING: no leaderboard for the time limit 5"));
    for (const char* block : {"friendsalltime", "allalltime", "friendsweek", "allweek", "friendsday", "allday"})
        EXPECT_TRUE(qmlProperty(item(block), "scores").toList().isEmpty()) << block;
}

TEST_F(GameNetworkViewTest, thePlayerBelowThePageGetsAnExtraRowAndAchievementsShowTheirProgress)
{
    QQuickItem* block = item("allalltime");
    const QVariantMap belowPage{{"page", 1}, {"perPage", 30}, {"pos", 41}, {"value", 9}, {"showLoadMoreButton", true}};
    block->setProperty("pagingEntry", belowPage);
    EXPECT_EQ(block->property("state").toString(), "loggedInUserNotInList");
    QQuickItem* extra = findItem(block, "playerBelowPage");
    ASSERT_TRUE(extra->isVisible());
    EXPECT_EQ(texts(extra, "position"), QStringList({"42"}));
    EXPECT_TRUE(findItem(block, "showMoreButton")->isVisible());
    const QVariantMap onPage{{"page", 1}, {"perPage", 30}, {"pos", 29}};
    block->setProperty("pagingEntry", onPage);
    EXPECT_EQ(block->property("state").toString(), "");
    EXPECT_FALSE(extra->isVisible());

    // Progress the client keeps reaches the game's achievement.
    QMetaObject::invokeMethod(view, "show", Q_ARG(QVariant, "achievement"), Q_ARG(QVariant, QVariant()));
    QMetaObject::invokeMethod(network, "incrementAchievement", Q_ARG(QVariant, "first"), Q_ARG(QVariant, 2),
                              Q_ARG(QVariant, QVariant()));
    engine->stepFrames(1);
    QStringList shown;
    for (QQuickItem* text : shownItems(item("achievementView"))) {
        if (text->inherits("QQuickText"))
            shown.append(text->property("text").toString());
    }
    EXPECT_TRUE(shown.contains("First <steps>")) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains("2/3")) << shown.join('|').toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
