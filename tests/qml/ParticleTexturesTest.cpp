// The 50 particle textures the generator draws into the application's resource tree: their sizes and
// format, and the soft, fringe-free edges a filtering renderer needs.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <cmath>

namespace {

struct Texture
{
    QString name;
    int edge;
};

std::vector<Texture> allTextures()
{
    std::vector<Texture> textures;
    for (const char* name :
         {"arrow",     "blackcircle", "circle", "distorted",  "filledstar", "flower", "fog",
          "heart",     "karo",        "leave",  "masterstar", "point",      "scull",  "snow",
          "snowflake", "spider",      "spiral", "square",     "squareops",  "star",   "starly",
          "stars",     "stones",      "streak", "stripes"}) {
        textures.push_back({QString::fromLatin1(name), 32});
    }
    for (const char* family :
         {"particleBlood", "particleFire", "particleNapalm", "particleSmoke", "particleSplatter"}) {
        textures.push_back({QString::fromLatin1(family), 64});
        for (const int edge : {4, 8, 16, 32}) {
            textures.push_back({QStringLiteral("%1_%2").arg(family).arg(edge), edge});
        }
    }
    return textures;
}

QString pathOf(const QString& name)
{
    return QStringLiteral(":/qml/particles/") + name + ".png";
}

QImage load(const QString& name)
{
    return QImage(pathOf(name)).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(ParticleTextures, fiftyTexturesHaveTheirListedSizes)
{
    const std::vector<Texture> textures = allTextures();
    ASSERT_EQ(textures.size(), 50u);
    for (const Texture& texture : textures) {
        const QImage image(pathOf(texture.name));
        ASSERT_FALSE(image.isNull()) << texture.name.toStdString();
        EXPECT_EQ(image.size(), QSize(texture.edge, texture.edge)) << texture.name.toStdString();
    }
}

TEST(ParticleTextures, everyFileIsAnRgbaPng)
{
    for (const Texture& texture : allTextures()) {
        QFile file(pathOf(texture.name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(26);
        // The signature, then the header chunk: width, height, bit depth 8 and colour type 6 (RGBA).
        ASSERT_TRUE(head.startsWith("\x89PNG\r\n\x1a\n")) << texture.name.toStdString();
        EXPECT_EQ(head.mid(12, 4), QByteArray("IHDR"));
        EXPECT_EQ(int(head.at(24)), 8) << texture.name.toStdString();
        EXPECT_EQ(int(head.at(25)), 6) << texture.name.toStdString();
    }
}

TEST(ParticleTextures, shapesFadeToNothingBeforeTheBorder)
{
    for (const Texture& texture : allTextures()) {
        const QImage image = load(texture.name);
        int visible = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                const bool border = x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
                if (border) {
                    EXPECT_EQ(alpha, 0) << texture.name.toStdString() << " at " << x << ", " << y;
                }
                visible += alpha > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(visible, 0) << texture.name.toStdString() << " is empty";
    }
}

TEST(ParticleTextures, transparentPixelsTakeTheColourOfAVisibleNeighbour)
{
    // Bilinear filtering of straight alpha mixes in the colour of invisible pixels: black ones would
    // darken every edge.
    for (const Texture& texture : allTextures()) {
        const QImage image = load(texture.name);
        const int w = image.width();
        const int h = image.height();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (qAlpha(image.pixel(x, y)) != 0) {
                    continue;
                }
                bool nextToVisible = false;
                bool matches = false;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    if (x + dx < 0 || y + dy < 0 || x + dx >= w || y + dy >= h) {
                        continue;
                    }
                    const QRgb neighbour = image.pixel(x + dx, y + dy);
                    if (qAlpha(neighbour) > 0) {
                        nextToVisible = true;
                        matches = matches || (neighbour & 0xFFFFFF) == (image.pixel(x, y) & 0xFFFFFF);
                    }
                }
                EXPECT_TRUE(!nextToVisible || matches)
                    << texture.name.toStdString() << " at " << x << ", " << y;
            }
        }
    }
}

TEST(ParticleTextures, eachFamilyShowsTheSameShapeAtEverySize)
{
    for (const char* family :
         {"particleBlood", "particleFire", "particleNapalm", "particleSmoke", "particleSplatter"}) {
        const QImage large = load(QString::fromLatin1(family));
        for (const int edge : {16, 32}) {
            const QImage small = load(QStringLiteral("%1_%2").arg(family).arg(edge));
            const QImage reduced = large.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            double difference = 0.0;
            for (int y = 1; y < edge - 1; ++y) {
                for (int x = 1; x < edge - 1; ++x) {
                    difference += std::abs(qAlpha(small.pixel(x, y)) - qAlpha(reduced.pixel(x, y)));
                }
            }
            EXPECT_LT(difference / ((edge - 2) * (edge - 2)), 20.0) << family << " at " << edge;
        }
    }
}

TEST(ParticleTextures, roundAndUprightShapesAreMirrorSymmetric)
{
    // A shape drawn off centre would make its particles wobble when they spin.
    for (const char* name : {"point", "circle", "blackcircle", "square", "squareops", "karo", "heart",
                             "filledstar", "snowflake", "scull"}) {
        const QImage image = load(QString::fromLatin1(name));
        const QImage mirrored = image.mirrored(true, false);
        double difference = 0.0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                difference += std::abs(qAlpha(image.pixel(x, y)) - qAlpha(mirrored.pixel(x, y)));
            }
        }
        EXPECT_LT(difference / (image.width() * image.height()), 4.0) << name;
    }
}

TEST(ParticleTextures, aSoftPointIsBrightestInTheMiddleAndFadesOutwards)
{
    const QImage point = load(QStringLiteral("point"));
    int previous = 256;
    for (int x = 16; x < 31; ++x) {
        const int alpha = qAlpha(point.pixel(x, 16));
        EXPECT_LE(alpha, previous) << "at " << x;
        previous = alpha;
    }
    EXPECT_GT(qAlpha(point.pixel(16, 16)), 200);
    EXPECT_EQ(qAlpha(point.pixel(30, 16)), 0);
}
