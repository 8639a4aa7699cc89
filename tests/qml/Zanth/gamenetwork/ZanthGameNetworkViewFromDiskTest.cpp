// The game-network pages with the engine's QML library read from the checkout's disk, as when a game runs
// from the checkout: their icons exist only in the resource tree, so every page must name them there.

#include "GameNetworkHost.h"
#include "GameServer.h"
#include "InProcessEngine.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

#include <gtest/gtest.h>

namespace {

InProcessEngine* engine = nullptr;

// Every Image below the item, those of Repeaters and views included (they are the items' children, not
// the objects').
QList<QQuickItem*> imagesBelow(QQuickItem* root)
{
    QList<QQuickItem*> images;
    QList<QQuickItem*> below{root};
    while (!below.isEmpty()) {
        QQuickItem* next = below.takeFirst();
        if (next->inherits("QQuickImage"))
            images.append(next);
        below.append(next->childItems());
    }
    return images;
}

// Image.Loading and Image.Ready.
constexpr int kLoading = 2;
constexpr int kReady = 1;

} // namespace

TEST(GameNetworkViewFromDisk, everyIconOfThePagesReadFromDiskIsFound)
{
    engine->view().engine()->addImportPath(QStringLiteral(ZANTH_CHECKOUT "/qml"));
    GameServer server{QStringLiteral("secret")};
    testing::internal::CaptureStdout();
    QQuickItem* window = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "GameWindow {\n  width: 480; height: 640; displayFpsEnabled: false\n"
        "  ZanthGameNetwork { id: gameNetwork; objectName: \"network\"; gameId: 42; secret: \"secret\"\n"
        "    hostingUrl: \"" +
        server.hostingUrl().toUtf8() +
        "\"\n"
        "    errorReportingLevel: 0; clearAllUserDataAtStartup: true; gameNetworkView: gnView\n"
        "    achievements: [ Achievement { key: \"first\"; name: \"First\" },\n"
        "                    Achievement { key: \"second\"; name: \"Second\" } ] }\n"
        "  ZanthGameNetworkView { id: gnView; objectName: \"view\" }\n}\n");
    ASSERT_NE(window, nullptr);
    QQuickItem* view = findItem(window, "view");
    ASSERT_NE(view, nullptr);
    QQuickItem* header = findItem(view, "navigationHeader");
    ASSERT_NE(header, nullptr);
    const QString pageFile = qmlContext(header)->baseUrl().toString();
    ASSERT_EQ(pageFile,
              QUrl::fromLocalFile(ZANTH_CHECKOUT "/qml/Zanth/gamenetwork/gnView/ZanthGameNetworkView.qml")
                  .toString())
        << "the pages are read from the checkout";

    // Each page in turn with a row in its lists, and a reached achievement's banner over the game.
    QObject* network = findItem(window, "network");
    ASSERT_NE(network, nullptr);
    network->setProperty("friends", QVariantList{QVariantMap{{"id", 8}, {"name", "bob"}}});
    QMetaObject::invokeMethod(network, "unlockAchievement", Q_ARG(QVariant, "second"),
                              Q_ARG(QVariant, QVariant()));
    for (const char* page : {"achievement", "challenge", "profile", "leaderboard"}) {
        QMetaObject::invokeMethod(view, "show", Q_ARG(QVariant, page), Q_ARG(QVariant, QVariant()));
        engine->stepFrames(1);
    }
    const QList<QQuickItem*> images = imagesBelow(window);
    const bool settled = eventually([&] {
        engine->stepFrames(1);
        for (QQuickItem* image : images) {
            if (image->property("status").toInt() == kLoading)
                return false;
        }
        return true;
    });
    // What the scene graph printed, among it the textures it could not read.
    const QString drawn = QString::fromStdString(testing::internal::GetCapturedStdout());
    ASSERT_TRUE(settled) << "an image is still loading";

    int icons = 0;
    for (QQuickItem* image : images) {
        const QUrl source = image->property("source").toUrl();
        if (source.isEmpty())
            continue;
        ++icons;
        EXPECT_EQ(image->property("status").toInt(), kReady) << source.toString().toStdString();
    }
    EXPECT_GE(icons, 8) << "the header's buttons, the achievements, a friend's row and the banner";
    EXPECT_FALSE(drawn.contains("Get data from file")) << drawn.toStdString();
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
