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
#include <QSignalSpy>
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
    // Stands in for nativeUtils: records the dialogs the pages open (a real one would wait for a click).
    std::unique_ptr<QObject> dialogs;
    QVariant nativeUtils;

    // Another player whose name holds markup, and the player (user 7, "ann") further down.
    void SetUp() override
    {
        QQmlComponent recorder(engine->view().engine());
        recorder.setData("import QtQuick 2.15\nQtObject {\n    property var opened: []\n"
                         "    signal textInputFinished(bool accepted, string enteredText)\n"
                         "    signal messageBoxFinished(bool accepted)\n"
                         "    function displayTextInput(title, description, placeholder, text) {\n"
                         "        opened = opened.concat([[title, text]]) }\n"
                         "    function displayMessageBox(title, text, buttons) { opened = "
                         "opened.concat([[title, text]]) }\n"
                         "}\n",
                         QUrl());
        dialogs.reset(recorder.create());
        ASSERT_TRUE(dialogs);
        nativeUtils = engine->view().rootContext()->contextProperty("nativeUtils");
        engine->view().rootContext()->setContextProperty("nativeUtils", dialogs.get());
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
            "    hostingUrl: \"" +
            server.hostingUrl().toUtf8() +
            "\"\n"
            "    defaultLeaderboardName: \"level1\"; errorReportingLevel: 0; clearAllUserDataAtStartup: "
            "true\n"
            "    gameNetworkView: gnView\n"
            "    achievements: [ Achievement { key: \"first\"; name: \"First <steps>\"; target: 3 },\n"
            "                    Achievement { key: \"second\"; name: \"Second\" } ] }\n"
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
    void TearDown() override { engine->view().rootContext()->setContextProperty("nativeUtils", nativeUtils); }

    // The item below the view with this object name, also one a Repeater made (they are the items'
    // children, not the objects').
    QQuickItem* item(const char* name) const
    {
        if (QQuickItem* found = findItem(view, name))
            return found;
        QList<QQuickItem*> below = view->childItems();
        while (!below.isEmpty()) {
            QQuickItem* next = below.takeFirst();
            if (next->objectName() == QLatin1String(name))
                return next;
            below.append(next->childItems());
        }
        ADD_FAILURE() << "no item " << name;
        static QQuickItem none;
        return &none;
    }
    // [title, text] of each dialog opened so far.
    QList<QStringList> openedDialogs() const
    {
        QList<QStringList> found;
        for (const QVariant& dialog : qmlProperty(dialogs.get(), "opened").toList())
            found.append(dialog.toStringList());
        return found;
    }
    void show(const char* page) const
    {
        QMetaObject::invokeMethod(view, "show", Q_ARG(QVariant, page), Q_ARG(QVariant, QVariant()));
    }
    // The first shown item below one with this object name whose text is text.
    static QQuickItem* shownWithText(QQuickItem* below, const char* name, const QString& text)
    {
        for (QQuickItem* found : shownItems(below, QString::fromLatin1(name))) {
            if (found->property("text").toString() == text)
                return found;
        }
        return nullptr;
    }
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

QJsonObject player(int id, const QString& name)
{
    return QJsonObject{{"id", id}, {"name", name}};
}

// Each list asks for the player's challenges by its filter and state, and shows those with a
// challenger's score; accepting an open challenge sends it and returns to the menu.
TEST_F(GameNetworkViewTest, challengeListsShowTheServersChallengesByFilterAndAcceptingSendsOne)
{
    const QJsonObject ann = player(7, "ann");
    const QJsonObject bold = player(9, "<b>Bold</b>");
    const QJsonObject zed = player(11, "zed");
    server.challenges = {
        QJsonObject{{"id", 1},
                    {"state", "pending"},
                    {"challenger", bold},
                    {"challenged", ann},
                    {"challenger_score", 300}},
        QJsonObject{{"id", 2}, {"state", "pending"}, {"challenger", zed}, {"challenged", ann}},
        QJsonObject{{"id", 3},
                    {"state", "pending"},
                    {"challenger", ann},
                    {"challenged", bold},
                    {"challenger_score", 120.4}},
        QJsonObject{{"id", 4},
                    {"state", "completed"},
                    {"challenger", ann},
                    {"challenged", zed},
                    {"challenger_score", 100},
                    {"challenged_score", 90}}};
    QSignalSpy accepted(network, SIGNAL(challengeAccepted(QVariant)));
    show("challenge");
    engine->stepFrames(1);
    struct Expected
    {
        const char* entry;
        const char* list;
        QJsonValue filter;
        const char* state;
        QStringList players;
        QStringList scores;
    };
    const Expected lists[] = {{"Open Challenges",
                               "openChallengesList",
                               "as_challenged",
                               "pending",
                               {"<b>Bold</b> vs. ann"},
                               {"300 : -"}},
                              {"Pending Challenges",
                               "pendingChallengesList",
                               "as_challenger",
                               "pending",
                               {"ann vs. <b>Bold</b>"},
                               {"120 : -"}},
                              {"Challenge History",
                               "challengeHistoryList",
                               QJsonValue::Undefined,
                               "completed",
                               {"ann vs. zed"},
                               {"100 : 90"}}};
    for (const Expected& expected : lists) {
        SCOPED_TRACE(expected.entry);
        ASSERT_TRUE(waitFrames([&] { return item("challengeMenu_Open Challenges")->isVisible(); }));
        const qsizetype asked = server.requestsWithAction("get_user_challenges").size();
        tap(item((QByteArray("challengeMenu_") + expected.entry).constData()));
        ASSERT_TRUE(
            waitFrames([&] { return server.requestsWithAction("get_user_challenges").size() == asked + 1; }));
        const QJsonObject request = server.requestsWithAction("get_user_challenges").last();
        EXPECT_EQ(request.value("filter"), expected.filter);
        EXPECT_EQ(request.value("state").toString(), expected.state);
        QQuickItem* list = item(expected.list);
        ASSERT_TRUE(waitFrames([&] { return texts(list, "challengePlayers") == expected.players; }))
            << texts(list, "challengePlayers").join('|').toStdString();
        EXPECT_EQ(texts(list, "challengeScores"), expected.scores);
        EXPECT_EQ(shownItems(list, QStringLiteral("acceptChallengeButton")).size(),
                  QString(expected.list) == "openChallengesList" ? 1 : 0);
        if (QString(expected.list) == "openChallengesList") {
            tap(shownItems(list, QStringLiteral("acceptChallengeButton")).first());
            ASSERT_TRUE(waitFrames([&] { return accepted.size() == 1; }));
            EXPECT_EQ(server.requestsWithAction("accept_challenge").last().value("challenge_id").toInt(), 1);
            EXPECT_EQ(accepted[0][0].toMap().value("id").toInt(), 1);
        } else {
            item("challengeView")->setProperty("state", "challengeOverview");
        }
        EXPECT_EQ(item("challengeView")->property("state").toString(), "challengeOverview");
    }
}

// The friend list asks for the player's friends whenever it comes into view, a page at a time, shows
// their names as typed, and challenging one sends a challenge for that friend.
TEST_F(GameNetworkViewTest, theFriendListAsksForTheFriendsWhenShownAndChallengesTheOneChosen)
{
    for (int i = 0; i < 31; ++i)
        server.friends.append(
            player(100 + i, i == 1 ? QStringLiteral("<i>Zed</i> & co") : QStringLiteral("friend %1").arg(i)));
    QSignalSpy created(network, SIGNAL(challengeCreated(QVariant)));
    ASSERT_TRUE(waitFrames([&] { return !network->property("waitingForResponse").toBool(); }));
    EXPECT_TRUE(server.requestsWithAction("get_friends").isEmpty());
    show("challenge");
    ASSERT_TRUE(waitFrames([&] { return item("challengeMenu_Challenge a Friend")->isVisible(); }));
    tap(item("challengeMenu_Challenge a Friend"));
    ASSERT_TRUE(waitFrames([&] { return server.requestsWithAction("get_friends").size() == 1; }));
    EXPECT_EQ(server.requestsWithAction("get_friends")[0].value("page").toInt(), 1);
    EXPECT_EQ(server.requestsWithAction("get_friends")[0].value("per_page").toInt(), 30);
    QQuickItem* friends = item("friendsView");
    ASSERT_TRUE(waitFrames([&] { return texts(friends, "friendName").size() == 30; }));
    EXPECT_EQ(texts(friends, "friendName").mid(0, 3),
              QStringList({"friend 0", "<i>Zed</i> & co", "friend 2"}));
    EXPECT_EQ(shownItems(friends, QStringLiteral("friendName"))[1]->property("textFormat").toInt(), 0);

    // Drawn: the first row's name is dark text on the white page.
    engine->stepFrames(2);
    QQuickItem* firstName = shownItems(friends, QStringLiteral("friendName")).first();
    const QImage image = engine->grabWindow();
    const QRectF nameRect =
        firstName->mapRectToScene(QRectF(0, 0, firstName->implicitWidth(), firstName->height()));
    int dark = 0;
    for (int x = int(nameRect.left()); x < int(nameRect.right()); ++x) {
        for (int y = int(nameRect.top()); y < int(nameRect.bottom()); ++y)
            dark += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 20);

    QQuickItem* row = shownItems(friends, QStringLiteral("friendRow"))[1];
    tap(findItem(row, "challengeFriendButton"));
    ASSERT_TRUE(waitFrames([&] { return created.size() == 1; }));
    EXPECT_EQ(server.requestsWithAction("create_challenge").last().value("challenged_id").toInt(), 101);
    EXPECT_EQ(created[0][0].toMap().value("challenged").toMap().value("id").toInt(), 101);

    // A full page may not be all: "Show more..." asks for one page more from the top.
    QQuickItem* more = findItem(friends, "moreFriendsButton");
    ASSERT_TRUE(more->isVisible());
    QMetaObject::invokeMethod(more, "clicked");
    ASSERT_TRUE(waitFrames([&] { return texts(friends, "friendName").size() == 31; }));
    EXPECT_EQ(server.requestsWithAction("get_friends").last().value("per_page").toInt(), 60);
    EXPECT_FALSE(more->isVisible());

    // Shown again later: asked for again.
    const qsizetype asked = server.requestsWithAction("get_friends").size();
    show("leaderboard");
    show("challenge");
    ASSERT_TRUE(waitFrames([&] { return server.requestsWithAction("get_friends").size() == asked + 1; }));
}

// The profile shows the player's name and changes it through the text input, refusing a name that
// could pass for another player; it synchronises, explains that Facebook needs a mobile platform, and
// shows the numbers support asks for.
TEST_F(GameNetworkViewTest, theProfileChangesTheNameSynchronisesAndExplainsWhatTheDesktopCannotDo)
{
    ASSERT_TRUE(waitFrames([&] { return !network->property("waitingForResponse").toBool(); }));
    show("profile");
    engine->stepFrames(1);
    QQuickItem* name = item("profileUserName");
    EXPECT_EQ(name->property("text").toString(), "ann");

    tap(item("changeUserNameButton"));
    ASSERT_EQ(openedDialogs().size(), 1);
    EXPECT_EQ(openedDialogs()[0], QStringList({"Change Username", "ann"}));
    QMetaObject::invokeMethod(dialogs.get(), "textInputFinished", Q_ARG(bool, true),
                              Q_ARG(QString, "9lives"));
    ASSERT_EQ(openedDialogs().size(), 2);
    EXPECT_EQ(
        openedDialogs()[1][1],
        "You entered an invalid username, please try a different one. The username must not start with a "
        "number or contain any swearwords.");
    tap(item("changeUserNameButton"));
    QMetaObject::invokeMethod(dialogs.get(), "textInputFinished", Q_ARG(bool, true), Q_ARG(QString, "Zoë"));
    ASSERT_TRUE(waitFrames([&] { return server.requestsWithAction("update_user").size() == 1; }));
    EXPECT_EQ(server.requestsWithAction("update_user")[0].value("screen_name").toString(), "Zoë");
    EXPECT_EQ(name->property("text").toString(), "Zoë");

    const qsizetype scoresRead = server.requestsWithAction("get_user_scores").size();
    const qsizetype achievementsRead = server.requestsWithAction("get_achievement_progress").size();
    tap(item("synchronizeButton"));
    ASSERT_TRUE(waitFrames([&] {
        return server.requestsWithAction("get_user_scores").size() == scoresRead + 1 &&
               server.requestsWithAction("get_achievement_progress").size() == achievementsRead + 1;
    }));

    tap(item("connectFacebookButton"));
    ASSERT_EQ(openedDialogs().size(), 4);
    EXPECT_EQ(openedDialogs()[3][0], "Facebook Connection");

    QMetaObject::invokeMethod(view, "moreOptionChosen", Q_ARG(QVariant, "About"));
    ASSERT_EQ(openedDialogs().size(), 5);
    const QString deviceId = qmlProperty(network, "user").value<QObject*>()->property("deviceId").toString();
    ASSERT_FALSE(deviceId.isEmpty());
    EXPECT_TRUE(openedDialogs()[4][1].endsWith(" " + deviceId + " (7)"))
        << openedDialogs()[4][1].toStdString();
    // Nothing but the name's change was written.
    EXPECT_EQ(server.requestsWithAction("update_user").size(), 1);
    EXPECT_TRUE(server.requestsWithAction("login").size() == 1);
}

// A reached achievement is announced over the game (the game-network page hidden) with its name, one
// after another, each until its time is up; with the notification switched off nothing shows.
TEST_F(GameNetworkViewTest, aReachedAchievementIsAnnouncedOverTheGameUntilItsTimeIsUp)
{
    // Long enough to look at the first banner however slow the machine; shortened afterwards.
    QQuickItem* achievements = item("achievementView");
    achievements->setProperty("notificationDuration", 600000);
    view->setVisible(false);
    engine->stepFrames(1);
    const auto bluePixels = [&](const QRectF& area) {
        const QImage image = engine->grabWindow();
        int blue = 0;
        for (int x = int(area.left()); x < int(area.right()); ++x) {
            for (int y = int(area.top()); y < int(area.bottom()); ++y)
                blue += nearly(image.pixelColor(x, y), 0x01, 0xa9, 0xe2) ? 1 : 0;
        }
        return blue;
    };
    const QRectF bannerArea(60, 8, 360, 60);
    EXPECT_EQ(bluePixels(bannerArea), 0);

    QMetaObject::invokeMethod(network, "incrementAchievement", Q_ARG(QVariant, "first"), Q_ARG(QVariant, 3),
                              Q_ARG(QVariant, QVariant()));
    QMetaObject::invokeMethod(network, "unlockAchievement", Q_ARG(QVariant, "second"),
                              Q_ARG(QVariant, QVariant()));
    QQuickItem* banner = findItem(window, "achievementNotification");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->parentItem(), window);
    ASSERT_TRUE(banner->isVisible());
    EXPECT_EQ(findItem(banner, "notificationTitle")->property("text").toString(), "Achievement Unlocked");
    EXPECT_EQ(findItem(banner, "notificationName")->property("text").toString(), "First <steps>");
    EXPECT_EQ(banner->mapRectToScene(banner->boundingRect()), bannerArea);
    engine->stepFrames(2);
    EXPECT_GT(bluePixels(bannerArea), 30) << "the banner's title is drawn over the game";

    // What the banner shows next, and then that it shows nothing.
    QQmlComponent watcher(engine->view().engine());
    watcher.setData("import QtQuick 2.15\nQtObject {\n    id: watcher\n    property var banner\n"
                    "    property var shown: []\n    property Connections watch: Connections {\n"
                    "        target: watcher.banner\n        function onCurrentChanged() {\n"
                    "            watcher.shown = watcher.shown.concat([watcher.banner.current ? "
                    "watcher.banner.current.name : \"\"]) } } }\n",
                    QUrl());
    std::unique_ptr<QObject> shown(watcher.create());
    ASSERT_TRUE(shown);
    shown->setProperty("banner", QVariant::fromValue<QObject*>(banner));
    achievements->setProperty("notificationDuration", 200);
    ASSERT_TRUE(waitFrames([&] { return !banner->isVisible(); }));
    EXPECT_EQ(qmlProperty(shown.get(), "shown").toStringList(), QStringList({"Second", ""}));
    engine->stepFrames(2);
    EXPECT_EQ(bluePixels(bannerArea), 0);

    achievements->setProperty("displayNotificationWhenAchievementIsReached", false);
    QSignalSpy unlocked(network, SIGNAL(achievementUnlocked(QString)));
    QMetaObject::invokeMethod(network, "incrementAchievement", Q_ARG(QVariant, "third"), Q_ARG(QVariant, 1),
                              Q_ARG(QVariant, QVariant()));
    EXPECT_EQ(unlocked.size(), 1);
    EXPECT_FALSE(banner->isVisible());
    view->setVisible(true);
}

} // namespace

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
