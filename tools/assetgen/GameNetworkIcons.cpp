#include "GameNetworkIcons.h"

#include "Canvas.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
const QColor kIdle(68, 68, 68);
const QColor kAccent(1, 169, 226);

// Each icon is one silhouette in the unit square, painted in a single colour.
using Silhouette = void (*)(QPainterPath& path);

// Qt flattens curves for boolean operations at a fixed tolerance, far too coarse for unit coordinates:
// the operation runs a hundred times larger.
QPainterPath combined(const QPainterPath& a, const QPainterPath& b, bool subtract)
{
    const QTransform up = QTransform::fromScale(100.0, 100.0);
    const QPainterPath result =
        subtract ? up.map(a).subtracted(up.map(b)) : up.map(a).united(up.map(b));
    return QTransform::fromScale(0.01, 0.01).map(result);
}

QPainterPath ring(double outer, double inner)
{
    QPainterPath a;
    a.addEllipse(QPointF(0.0, 0.0), outer, outer);
    QPainterPath b;
    b.addEllipse(QPointF(0.0, 0.0), inner, inner);
    return combined(a, b, true);
}

void backArrow(QPainterPath& path)
{
    QPolygonF arrow;
    arrow << QPointF(-0.75, 0.0) << QPointF(-0.05, -0.62) << QPointF(-0.05, -0.24) << QPointF(0.72, -0.24)
          << QPointF(0.72, 0.24) << QPointF(-0.05, 0.24) << QPointF(-0.05, 0.62);
    path.addPolygon(arrow);
    path.closeSubpath();
}

// A podium of three steps.
void podium(QPainterPath& path)
{
    path.addRect(QRectF(-0.26, -0.55, 0.52, 1.3));
    path.addRect(QRectF(-0.8, -0.1, 0.5, 0.85));
    path.addRect(QRectF(0.3, 0.15, 0.5, 0.6));
}

// A medal: two ribbon ends and a round disc with a star cut out.
void medal(QPainterPath& path)
{
    QPainterPath whole;
    whole.setFillRule(Qt::WindingFill);
    QPolygonF ribbon;
    ribbon << QPointF(-0.45, -0.85) << QPointF(-0.15, -0.85) << QPointF(0.08, -0.25) << QPointF(-0.2, -0.15);
    whole.addPolygon(ribbon);
    whole.closeSubpath();
    QPolygonF other;
    other << QPointF(0.45, -0.85) << QPointF(0.15, -0.85) << QPointF(-0.08, -0.25) << QPointF(0.2, -0.15);
    whole.addPolygon(other);
    whole.closeSubpath();
    whole.addEllipse(QPointF(0.0, 0.3), 0.5, 0.5);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 0.3 : 0.13;
        const double angle = -kPi / 2 + i * kPi / 5;
        star << QPointF(radius * std::cos(angle), 0.32 + radius * std::sin(angle));
    }
    QPainterPath cut;
    cut.addPolygon(star);
    cut.closeSubpath();
    path = combined(whole, cut, true);
}

void threeDots(QPainterPath& path)
{
    for (int i = -1; i <= 1; ++i)
        path.addEllipse(QPointF(0.0, 0.55 * i), 0.16, 0.16);
}

void person(QPainterPath& path)
{
    path.addEllipse(QPointF(0.0, -0.38), 0.32, 0.32);
    QPainterPath body;
    body.moveTo(-0.68, 0.8);
    body.cubicTo(-0.68, 0.05, 0.68, 0.05, 0.68, 0.8);
    body.closeSubpath();
    path.addPath(body);
}

// A ring with the given hands, the common face of the three time-frame icons.
void clockFace(QPainterPath& path, double hourAngle, double minuteAngle)
{
    QPainterPathStroker hands;
    hands.setWidth(0.12);
    hands.setCapStyle(Qt::RoundCap);
    QPainterPath lines;
    lines.moveTo(0.0, 0.0);
    lines.lineTo(0.32 * std::sin(hourAngle), -0.32 * std::cos(hourAngle));
    lines.moveTo(0.0, 0.0);
    lines.lineTo(0.5 * std::sin(minuteAngle), -0.5 * std::cos(minuteAngle));
    path = combined(ring(0.8, 0.64), hands.createStroke(lines), false);
}

// All time: an infinity sign.
void infinity(QPainterPath& path)
{
    QPainterPath curve;
    for (int i = 0; i <= 96; ++i) {
        const double t = 2.0 * kPi * i / 96;
        const double d = 1.0 + std::sin(t) * std::sin(t);
        const QPointF point(0.78 * std::cos(t) / d, 0.78 * std::sin(t) * std::cos(t) / d);
        if (i == 0)
            curve.moveTo(point);
        else
            curve.lineTo(point);
    }
    QPainterPathStroker stroker;
    stroker.setWidth(0.16);
    stroker.setJoinStyle(Qt::RoundJoin);
    path.addPath(stroker.createStroke(curve));
}

// This week: a calendar sheet with seven marks.
void calendar(QPainterPath& path)
{
    QPainterPath sheet;
    sheet.addRoundedRect(QRectF(-0.75, -0.6, 1.5, 1.35), 0.12, 0.12);
    QPainterPath cut;
    for (int i = 0; i < 7; ++i) {
        const int column = i % 4;
        const int row = i / 4;
        cut.addRect(QRectF(-0.58 + column * 0.3, -0.2 + row * 0.38, 0.2, 0.24));
    }
    QPainterPath rings;
    rings.addRect(QRectF(-0.45, -0.8, 0.12, 0.3));
    rings.addRect(QRectF(0.33, -0.8, 0.12, 0.3));
    path = combined(combined(sheet, cut, true), rings, false);
}

void todayClock(QPainterPath& path)
{
    clockFace(path, kPi / 3, 0.0);
}

// About: an "i" in a ring.
void information(QPainterPath& path)
{
    QPainterPath letter;
    letter.addEllipse(QPointF(0.0, -0.36), 0.1, 0.1);
    letter.addRoundedRect(QRectF(-0.08, -0.16, 0.16, 0.6), 0.05, 0.05);
    path = combined(ring(0.8, 0.64), letter, false);
}

// Challenge: two crossed blades.
void crossedBlades(QPainterPath& path)
{
    for (int side = -1; side <= 1; side += 2) {
        QPainterPath blade;
        blade.addRect(QRectF(-0.07, -0.85, 0.14, 1.2));
        blade.addRect(QRectF(-0.28, 0.3, 0.56, 0.1));
        blade.addRect(QRectF(-0.06, 0.4, 0.12, 0.38));
        QTransform turn;
        turn.rotate(side * 40.0);
        path.addPath(turn.map(blade));
    }
}

QImage drawIcon(const QSize& size, Silhouette silhouette, const QColor& colour)
{
    return renderSoftImage(size, [silhouette, colour](QPainter& painter) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        silhouette(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(path);
    });
}

} // namespace

AssetList gameNetworkIconAssets()
{
    struct Icon
    {
        const char* name;
        Silhouette silhouette;
    };
    const Icon icons[] = {{"back", backArrow},     {"highscores", podium}, {"achievements", medal},
                          {"more", threeDots},     {"profile", person},    {"alltime", infinity},
                          {"week", calendar},      {"today", todayClock},  {"about", information},
                          {"challenge", crossedBlades}};
    AssetList assets;
    for (const Icon& icon : icons) {
        for (bool hover : {false, true}) {
            Asset asset;
            asset.path = QStringLiteral("qml/Zanth/gamenetwork/gnView/img/") + QLatin1String(icon.name) +
                         (hover ? QStringLiteral("-hover.png") : QStringLiteral(".png"));
            asset.size = QSize(64, 64);
            const Silhouette silhouette = icon.silhouette;
            const QColor colour = hover ? kAccent : kIdle;
            asset.image = [silhouette, colour](const QSize& s) { return drawIcon(s, silhouette, colour); };
            assets.push_back(asset);
        }
    }
    return assets;
}

} // namespace assetgen
