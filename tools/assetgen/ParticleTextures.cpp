#include "ParticleTextures.h"

#include "Canvas.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Most textures are white so that the emitter's colours tint them; the families carry their own colours.
const QColor kWhite(255, 255, 255);

QPolygonF starPolygon(int points, double outer, double inner, double turn = -kPi / 2)
{
    QPolygonF polygon;
    for (int i = 0; i < points * 2; ++i) {
        const double radius = (i % 2 == 0) ? outer : inner;
        const double angle = turn + i * kPi / points;
        polygon << QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
}

// Alpha of a soft round spot: 1 in the middle, 0 from radius on.
double softSpot(double r, double radius, double hardness)
{
    return std::pow(clamp01(1.0 - r / radius), hardness);
}

void drawArrow(QPainter& p)
{
    QPolygonF arrow;
    arrow << QPointF(-0.8, -0.18) << QPointF(0.1, -0.18) << QPointF(0.1, -0.52) << QPointF(0.85, 0.0)
          << QPointF(0.1, 0.52) << QPointF(0.1, 0.18) << QPointF(-0.8, 0.18);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(arrow);
}

void drawBlackCircle(QPainter& p)
{
    paintField(p, [](double x, double y) {
        const double r = std::hypot(x, y);
        return QColor(0, 0, 0, int(255 * smoothStep(0.86, 0.7, r)));
    });
}

void drawCircle(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(0, 0), 0.8, 0.8);
}

void drawDistorted(QPainter& p)
{
    // A smeared, wavy streak of light: an ellipse whose middle line bends and whose edge frays.
    paintField(p, [](double x, double y) {
        const double bend = y + 0.1 * std::sin(x * 1.6 * kPi + 0.7) * (1.0 - std::fabs(x));
        const double fray = 0.75 + 0.5 * fractalNoise(x * 3.0 + 5.0, y * 3.0, 17u);
        const double d = std::hypot(x / 0.88, bend / (0.36 * fray));
        const double a = softSpot(d, 1.0, 1.4) * (0.7 + 0.3 * fractalNoise(x * 5.0, y * 5.0, 29u));
        return QColor(255, 255, 255, int(255 * clamp01(a * 1.8)));
    });
}

void drawFilledStar(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(starPolygon(5, 0.9, 0.38));
}

void drawFlower(QPainter& p)
{
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.rotate(i * 60.0 + 15.0);
        QRadialGradient petal(QPointF(0.45, 0), 0.42);
        petal.setColorAt(0.0, QColor(255, 255, 255, 240));
        petal.setColorAt(1.0, QColor(255, 255, 255, 170));
        p.setBrush(petal);
        p.drawEllipse(QPointF(0.45, 0.0), 0.42, 0.23);
        p.restore();
    }
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QPointF(0, 0), 0.24, 0.24);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(0, 0), 0.18, 0.18);
}

void drawFog(QPainter& p)
{
    paintField(p, [](double x, double y) {
        const double r = std::hypot(x, y);
        const double cloud = fractalNoise(x * 2.2 + 3.0, y * 2.2 - 1.0, 41u);
        const double a = softSpot(r, 0.95, 1.2) * (0.35 + 0.65 * cloud);
        return QColor(255, 255, 255, int(255 * clamp01(a * 0.9)));
    });
}

QPainterPath heartPath(double scale)
{
    QPainterPath heart;
    heart.moveTo(0.0, 0.8 * scale);
    heart.cubicTo(-0.35 * scale, 0.5 * scale, -0.9 * scale, 0.15 * scale, -0.82 * scale, -0.3 * scale);
    heart.cubicTo(-0.74 * scale, -0.74 * scale, -0.18 * scale, -0.86 * scale, 0.0, -0.4 * scale);
    heart.cubicTo(0.18 * scale, -0.86 * scale, 0.74 * scale, -0.74 * scale, 0.82 * scale, -0.3 * scale);
    heart.cubicTo(0.9 * scale, 0.15 * scale, 0.35 * scale, 0.5 * scale, 0.0, 0.8 * scale);
    return heart;
}

void drawHeart(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPath(heartPath(1.0));
}

void drawKaro(QPainter& p)
{
    // A diamond with a faint halo, so that a sparkle of many of them glows.
    paintField(p, [](double x, double y) {
        const double halo = 0.35 * softSpot(std::hypot(x, y), 0.95, 2.0);
        return QColor(255, 255, 255, int(255 * halo));
    });
    QPolygonF diamond;
    diamond << QPointF(0.0, -0.82) << QPointF(0.5, 0.0) << QPointF(0.0, 0.82) << QPointF(-0.5, 0.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(diamond);
}

void drawLeaf(QPainter& p)
{
    p.rotate(-40.0);
    QPainterPath leaf;
    leaf.moveTo(-0.78, 0.0);
    leaf.cubicTo(-0.45, -0.5, 0.35, -0.5, 0.8, 0.0);
    leaf.cubicTo(0.35, 0.5, -0.45, 0.5, -0.78, 0.0);
    QLinearGradient autumn(QPointF(-0.8, 0.0), QPointF(0.8, 0.0));
    autumn.setColorAt(0.0, QColor(214, 120, 32));
    autumn.setColorAt(1.0, QColor(238, 196, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(autumn);
    p.drawPath(leaf);
    QPen vein(QColor(150, 82, 20), 0.05, Qt::SolidLine, Qt::RoundCap);
    p.setPen(vein);
    p.drawLine(QPointF(-0.9, 0.0), QPointF(0.7, 0.0));
    vein.setWidthF(0.035);
    p.setPen(vein);
    for (int i = 0; i < 3; ++i) {
        const double at = -0.45 + i * 0.38;
        p.drawLine(QPointF(at, 0.0), QPointF(at + 0.22, -0.26 + i * 0.03));
        p.drawLine(QPointF(at, 0.0), QPointF(at + 0.22, 0.26 - i * 0.03));
    }
}

void drawMasterStar(QPainter& p)
{
    // A bright core with four long rays and four short diagonal ones.
    paintField(p, [](double x, double y) {
        const double r = std::hypot(x, y);
        const double core = std::exp(-r * r / 0.03);
        const double glow = 0.45 * softSpot(r, 0.9, 2.5);
        const double fade = clamp01(1.0 - r / 0.95);
        const double along = std::exp(-std::fabs(y) / 0.035) + std::exp(-std::fabs(x) / 0.035);
        const double u = (x + y) / std::sqrt(2.0);
        const double v = (x - y) / std::sqrt(2.0);
        const double diagonal =
            0.6 * (std::exp(-std::fabs(u) / 0.03) + std::exp(-std::fabs(v) / 0.03)) * clamp01(1.0 - r / 0.6);
        const double a = core + glow + along * fade * fade + diagonal;
        return QColor(255, 255, 255, int(255 * clamp01(a)));
    });
}

void drawPoint(QPainter& p)
{
    paintField(p, [](double x, double y) {
        return QColor(255, 255, 255, int(255 * softSpot(std::hypot(x, y), 0.92, 1.6)));
    });
}

void drawSkull(QPainter& p)
{
    QPainterPath skull;
    skull.setFillRule(Qt::OddEvenFill);
    skull.addEllipse(QPointF(0.0, -0.15), 0.7, 0.64);
    skull.addRoundedRect(QRectF(-0.4, 0.2, 0.8, 0.55), 0.15, 0.15);
    skull = skull.simplified();
    QPainterPath holes;
    holes.addEllipse(QPointF(-0.27, -0.1), 0.17, 0.2);
    holes.addEllipse(QPointF(0.27, -0.1), 0.17, 0.2);
    QPolygonF nose;
    nose << QPointF(0.0, 0.12) << QPointF(0.09, 0.3) << QPointF(-0.09, 0.3);
    holes.addPolygon(nose);
    for (int i = 0; i < 3; ++i) {
        holes.addRect(QRectF(-0.1475 + i * 0.13, 0.5, 0.035, 0.25));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 240, 226));
    p.drawPath(skull.subtracted(holes));
}

void drawSnow(QPainter& p)
{
    paintField(p, [](double x, double y) {
        const double r = std::hypot(x, y) * (0.9 + 0.2 * valueNoise(x * 4.0, y * 4.0, 53u));
        return QColor(255, 255, 255, int(255 * smoothStep(0.85, 0.3, r)));
    });
}

void drawSnowflake(QPainter& p)
{
    QPen pen(kWhite, 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.rotate(i * 60.0);
        p.drawLine(QPointF(0, 0), QPointF(0, -0.82));
        pen.setWidthF(0.07);
        p.setPen(pen);
        for (const double at : {-0.38, -0.6}) {
            const double branch = at == -0.38 ? 0.22 : 0.15;
            p.drawLine(QPointF(0, at), QPointF(branch, at - branch));
            p.drawLine(QPointF(0, at), QPointF(-branch, at - branch));
        }
        pen.setWidthF(0.09);
        p.setPen(pen);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(0, 0), 0.14, 0.14);
}

void drawSpider(QPainter& p)
{
    const QColor body(38, 36, 40);
    QPen leg(body, 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(leg);
    p.setBrush(Qt::NoBrush);
    for (int side : {-1, 1}) {
        for (int i = 0; i < 4; ++i) {
            const double rise = -0.35 + i * 0.22;
            QPainterPath path;
            path.moveTo(0.0, 0.05 + i * 0.06);
            path.quadTo(side * 0.45, rise - 0.35, side * 0.62, rise + 0.05);
            path.lineTo(side * 0.82, rise + 0.35);
            p.drawPath(path);
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(QPointF(0.0, 0.28), 0.3, 0.36);
    p.drawEllipse(QPointF(0.0, -0.2), 0.2, 0.18);
    p.setBrush(QColor(120, 118, 126));
    p.drawEllipse(QPointF(-0.07, -0.26), 0.04, 0.04);
    p.drawEllipse(QPointF(0.07, -0.26), 0.04, 0.04);
}

void drawSpiral(QPainter& p)
{
    // Two and a half turns, widening as they go out.
    const int steps = 240;
    QPointF last(0, 0);
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double angle = t * 2.5 * 2.0 * kPi;
        const double radius = 0.78 * t;
        const QPointF point(radius * std::cos(angle), radius * std::sin(angle));
        p.setPen(QPen(kWhite, 0.04 + 0.1 * t, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(last, point);
        last = point;
    }
}

void drawSquare(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRect(QRectF(-0.8, -0.8, 1.6, 1.6));
}

void drawSquareOutline(QPainter& p)
{
    p.setPen(QPen(kWhite, 0.18, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-0.7, -0.7, 1.4, 1.4));
}

void drawStar(QPainter& p)
{
    p.setPen(QPen(kWhite, 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawPolygon(starPolygon(5, 0.82, 0.36));
}

void drawStarly(QPainter& p)
{
    // A four-pointed twinkle with curved flanks over a soft glow.
    paintField(p, [](double x, double y) {
        return QColor(255, 255, 255, int(255 * 0.4 * softSpot(std::hypot(x, y), 0.7, 2.0)));
    });
    QPainterPath twinkle;
    twinkle.moveTo(0.0, -0.9);
    twinkle.quadTo(0.08, -0.08, 0.9, 0.0);
    twinkle.quadTo(0.08, 0.08, 0.0, 0.9);
    twinkle.quadTo(-0.08, 0.08, -0.9, 0.0);
    twinkle.quadTo(-0.08, -0.08, 0.0, -0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPath(twinkle);
}

void drawStars(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    const struct
    {
        double x, y, size, turn;
    } stars[] = {{-0.35, -0.38, 0.42, -90.0}, {0.45, -0.2, 0.3, -70.0}, {-0.05, 0.45, 0.36, -100.0}};
    for (const auto& star : stars) {
        p.save();
        p.translate(star.x, star.y);
        p.drawPolygon(starPolygon(5, star.size, star.size * 0.42, star.turn * kPi / 180.0));
        p.restore();
    }
}

void drawStones(QPainter& p)
{
    const struct
    {
        double x, y, radius;
        unsigned int seed;
    } stones[] = {{-0.3, -0.25, 0.38, 3u}, {0.38, -0.12, 0.3, 7u}, {0.0, 0.42, 0.33, 11u}};
    for (const auto& stone : stones) {
        QPolygonF outline;
        for (int i = 0; i < 7; ++i) {
            const double angle = i * 2.0 * kPi / 7 + scatter(i, stone.seed) * 0.6;
            const double radius = stone.radius * (0.7 + 0.3 * scatter(i + 10, stone.seed));
            outline << QPointF(stone.x + radius * std::cos(angle), stone.y + radius * std::sin(angle));
        }
        QLinearGradient shade(QPointF(stone.x - stone.radius, stone.y - stone.radius),
                              QPointF(stone.x + stone.radius, stone.y + stone.radius));
        shade.setColorAt(0.0, QColor(255, 255, 255));
        shade.setColorAt(1.0, QColor(170, 170, 175));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPolygon(outline);
    }
}

void drawStreak(QPainter& p)
{
    paintField(p, [](double x, double y) {
        const double across = std::exp(-(y * y) / 0.012);
        const double along = clamp01(1.0 - std::pow(std::fabs(x) / 0.9, 1.6));
        return QColor(255, 255, 255, int(255 * clamp01(across * along)));
    });
}

void drawStripes(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (int i = 0; i < 4; ++i) {
        p.drawRoundedRect(QRectF(-0.8, -0.8 + i * 0.43, 1.6, 0.22), 0.06, 0.06);
    }
}

// The five families are coloured, with bright cores so that a tint still shows them.

void drawFireFamily(QPainter& p)
{
    paintField(p, [](double x, double y) {
        // A puff that licks upwards: narrower and noisier towards the top, white hot inside.
        const double lift = clamp01((0.2 - y) / 1.1);
        const double wobble = 0.16 * (fractalNoise(x * 2.5, y * 2.0 + 4.0, 61u) - 0.5);
        const double r = std::hypot((x + wobble) / (0.8 - 0.32 * lift), (y - 0.08) / 0.86);
        const double flicker = 0.75 + 0.25 * fractalNoise(x * 4.0, y * 4.0, 67u);
        const double a = softSpot(r, 1.0, 0.9) * flicker * 1.5;
        const QColor core(255, 252, 240);
        const QColor edge(255, 196, 104);
        return withAlpha(mix(core, edge, smoothStep(0.15, 0.8, r)), a);
    });
}

void drawSmokeFamily(QPainter& p)
{
    paintField(p, [](double x, double y) {
        // Three overlapping puffs broken up by noise, lighter on top.
        const double puffs = std::max({softSpot(std::hypot(x + 0.3, y - 0.15), 0.62, 1.2),
                                       softSpot(std::hypot(x - 0.28, y - 0.1), 0.6, 1.2),
                                       softSpot(std::hypot(x, y + 0.25), 0.66, 1.2)});
        const double billow = 0.55 + 0.45 * fractalNoise(x * 3.0 + 9.0, y * 3.0, 71u);
        const double a = clamp01(puffs * billow * 1.15) * 0.85;
        const QColor light(236, 236, 236);
        const QColor shadow(176, 176, 180);
        return withAlpha(mix(light, shadow, clamp01((y + 0.6) / 1.4)), a);
    });
}

void drawBloodFamily(QPainter& p)
{
    QPainterPath drop;
    drop.moveTo(0.0, -0.85);
    drop.cubicTo(0.12, -0.5, 0.6, -0.05, 0.6, 0.3);
    drop.cubicTo(0.6, 0.65, 0.32, 0.86, 0.0, 0.86);
    drop.cubicTo(-0.32, 0.86, -0.6, 0.65, -0.6, 0.3);
    drop.cubicTo(-0.6, -0.05, -0.12, -0.5, 0.0, -0.85);
    QRadialGradient body(QPointF(-0.1, 0.25), 0.75);
    body.setColorAt(0.0, QColor(234, 76, 78));
    body.setColorAt(0.7, QColor(190, 30, 36));
    body.setColorAt(1.0, QColor(120, 6, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(drop);
    QRadialGradient shine(QPointF(-0.22, 0.12), 0.3);
    shine.setColorAt(0.0, QColor(255, 240, 240, 240));
    shine.setColorAt(1.0, QColor(255, 200, 200, 0));
    p.setBrush(shine);
    p.drawEllipse(QPointF(-0.22, 0.12), 0.24, 0.3);
}

void drawNapalmFamily(QPainter& p)
{
    paintField(p, [](double x, double y) {
        // A ragged ball of burning fuel: the noise eats the rim into tongues and drops.
        const double r = std::hypot(x, y);
        const double rag = fractalNoise(x * 3.2 + 2.0, y * 3.2 + 7.0, 83u);
        const double body = smoothStep(0.92, 0.45, r + (0.5 - rag) * 0.55);
        const double heat = clamp01(1.0 - r / 0.8);
        const QColor white(255, 252, 236);
        const QColor yellow(255, 214, 92);
        const QColor orange(248, 112, 24);
        const QColor colour =
            heat > 0.5 ? mix(yellow, white, (heat - 0.5) * 2.0) : mix(orange, yellow, heat * 2.0);
        return withAlpha(colour, body);
    });
}

void drawSplatterFamily(QPainter& p)
{
    paintField(p, [](double x, double y) {
        // A blot with spikes thrown outwards and loose drops around it.
        const double r = std::hypot(x, y);
        const double angle = std::atan2(y, x);
        const double spikes = 0.5 + 0.5 * std::cos(angle * 9.0 + 1.3 * std::sin(angle * 4.0));
        const double reach = 0.42 + 0.3 * std::pow(spikes, 6.0) + 0.08 * fractalNoise(x * 4.0, y * 4.0, 89u);
        double a = smoothStep(reach + 0.05, reach - 0.05, r);
        for (unsigned int i = 0; i < 7; ++i) {
            const double dropAngle = scatter(i, 97u) * 2.0 * kPi;
            const double dropRadius = 0.62 + 0.22 * scatter(i + 20, 97u);
            const double size = 0.05 + 0.05 * scatter(i + 40, 97u);
            const double d =
                std::hypot(x - dropRadius * std::cos(dropAngle), y - dropRadius * std::sin(dropAngle));
            a = std::max(a, smoothStep(size + 0.02, size - 0.02, d));
        }
        const QColor colour = mix(QColor(226, 52, 56), QColor(168, 16, 22), smoothStep(0.0, 0.6, r));
        return withAlpha(colour, a);
    });
}

Asset textureAsset(const QString& fileName, int edge, void (*drawing)(QPainter&))
{
    Asset asset;
    asset.path = QStringLiteral("qml/particles/") + fileName;
    asset.size = QSize(edge, edge);
    asset.image = [drawing](const QSize& size) { return renderSoftImage(size, drawing); };
    return asset;
}

} // namespace

AssetList particleTextureAssets()
{
    const struct
    {
        const char* name;
        void (*drawing)(QPainter&);
    } singles[] = {
        {"arrow", drawArrow},
        {"blackcircle", drawBlackCircle},
        {"circle", drawCircle},
        {"distorted", drawDistorted},
        {"filledstar", drawFilledStar},
        {"flower", drawFlower},
        {"fog", drawFog},
        {"heart", drawHeart},
        {"karo", drawKaro},
        {"leave", drawLeaf},
        {"masterstar", drawMasterStar},
        {"point", drawPoint},
        {"scull", drawSkull},
        {"snow", drawSnow},
        {"snowflake", drawSnowflake},
        {"spider", drawSpider},
        {"spiral", drawSpiral},
        {"square", drawSquare},
        {"squareops", drawSquareOutline},
        {"star", drawStar},
        {"starly", drawStarly},
        {"stars", drawStars},
        {"stones", drawStones},
        {"streak", drawStreak},
        {"stripes", drawStripes},
    };
    const struct
    {
        const char* name;
        void (*drawing)(QPainter&);
    } families[] = {
        {"particleBlood", drawBloodFamily},       {"particleFire", drawFireFamily},
        {"particleNapalm", drawNapalmFamily},     {"particleSmoke", drawSmokeFamily},
        {"particleSplatter", drawSplatterFamily},
    };

    AssetList assets;
    for (const auto& single : singles) {
        assets.push_back(textureAsset(QString::fromLatin1(single.name) + ".png", 32, single.drawing));
    }
    for (const auto& family : families) {
        const QString name = QString::fromLatin1(family.name);
        assets.push_back(textureAsset(name + ".png", 64, family.drawing));
        for (const int edge : {4, 8, 16, 32}) {
            assets.push_back(
                textureAsset(QStringLiteral("%1_%2.png").arg(name).arg(edge), edge, family.drawing));
        }
    }
    return assets;
}

} // namespace assetgen
