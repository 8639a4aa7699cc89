// The game-network icons: each pair differs only in colour, and no two icons share a silhouette.
#include "GameNetworkIcons.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMap>

namespace {

QImage alphaOf(const QImage& image)
{
    return image.convertToFormat(QImage::Format_Alpha8);
}

} // namespace

TEST(GameNetworkIcons, pairsShareTheirSilhouetteAndIconsDifferFromEachOther)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QMap<QString, QImage> images;
    for (const assetgen::Asset& asset : assetgen::gameNetworkIconAssets())
        images.insert(asset.path.section('/', -1), asset.image(asset.size));
    ASSERT_EQ(images.size(), 20);

    QList<QImage> silhouettes;
    for (auto it = images.cbegin(); it != images.cend(); ++it) {
        if (it.key().endsWith("-hover.png"))
            continue;
        const QImage idle = it.value();
        const QImage hover = images.value(QString(it.key()).replace(".png", "-hover.png"));
        ASSERT_EQ(idle.size(), QSize(64, 64)) << it.key().toStdString();
        EXPECT_EQ(alphaOf(idle), alphaOf(hover)) << it.key().toStdString();
        int opaque = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool border = x == 0 || y == 0 || x == 63 || y == 63;
                if (border)
                    EXPECT_EQ(idle.pixelColor(x, y).alpha(), 0) << it.key().toStdString();
                if (idle.pixelColor(x, y).alpha() == 255) {
                    ++opaque;
                    EXPECT_EQ(idle.pixelColor(x, y).blue(), idle.pixelColor(x, y).red());
                    EXPECT_GT(hover.pixelColor(x, y).blue(), hover.pixelColor(x, y).red() + 100);
                }
            }
        }
        // Neither empty nor a filled square; holes (the clock's face, the medal's star) stay open.
        EXPECT_GT(opaque, 150) << it.key().toStdString();
        EXPECT_LT(opaque, 64 * 64 / 2) << it.key().toStdString();
        for (const QImage& other : silhouettes)
            EXPECT_NE(alphaOf(idle), alphaOf(other)) << it.key().toStdString();
        silhouettes.append(idle);
    }
}
