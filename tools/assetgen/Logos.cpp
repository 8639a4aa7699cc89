#include "Logos.h"

#include "Canvas.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

// The word mark is designed on this grid; its emblem takes the left square, so that a header clipped
// to the logo's height shows the emblem alone.
constexpr double kMarkWidth = 209.0;
constexpr double kMarkHeight = 45.0;

QImage paintedImage(const QSize& size, const QSizeF& design, void (*paint)(QPainter&))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const double scale = std::min(size.width() / design.width(), size.height() / design.height());
        painter.translate((size.width() - design.width() * scale) / 2.0,
                          (size.height() - design.height() * scale) / 2.0);
        painter.scale(scale, scale);
        paint(painter);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    bleedColours(image);
    return image;
}

void paintWordMark(QPainter& painter)
{
    paintZanthEmblem(painter, QRectF(0.0, 0.0, kMarkHeight, kMarkHeight));

    const QFont word = appFont(33.0, true);
    const QFontMetricsF metrics(word);
    const double left = 54.0;
    const double baseline = 33.0;
    QPainterPath text;
    text.addText(left, baseline, word, QStringLiteral("Zanth"));
    QLinearGradient warm(QPointF(0.0, baseline - metrics.ascent()), QPointF(0.0, baseline));
    warm.setColorAt(0.0, QColor(255, 247, 234));
    warm.setColorAt(1.0, QColor(255, 214, 170));
    painter.setPen(Qt::NoPen);
    painter.setBrush(warm);
    painter.drawPath(text);

    const double wordRight = left + metrics.horizontalAdvance(QStringLiteral("Zanth"));
    QPainterPath tag;
    tag.addText(wordRight + 4.0, 19.0, appFont(15.0, true), QStringLiteral("2D"));
    painter.setBrush(QColor(255, 138, 36));
    painter.drawPath(tag);

    // An ember underline that thins out to the right.
    QPainterPath stroke;
    stroke.moveTo(left + 1.0, 38.5);
    stroke.quadTo(left + 60.0, 36.5, wordRight + 26.0, 39.5);
    stroke.quadTo(left + 60.0, 39.5, left + 1.0, 40.5);
    stroke.closeSubpath();
    QLinearGradient ember(QPointF(left, 0.0), QPointF(wordRight + 26.0, 0.0));
    ember.setColorAt(0.0, QColor(255, 120, 30, 230));
    ember.setColorAt(1.0, QColor(255, 200, 90, 0));
    painter.setBrush(ember);
    painter.drawPath(stroke);
}

void paintEmblemOnly(QPainter& painter)
{
    paintZanthEmblem(painter, QRectF(0.0, 0.0, 1.0, 1.0));
}

Asset logoAsset(const QString& name, const QSize& size, const QSizeF& design, void (*paint)(QPainter&))
{
    Asset asset;
    asset.path = QStringLiteral("qml/img/") + name;
    asset.size = size;
    asset.image = [design, paint](const QSize& s) { return paintedImage(s, design, paint); };
    return asset;
}

} // namespace

void paintZanthEmblem(QPainter& painter, const QRectF& square)
{
    painter.save();
    painter.translate(square.topLeft());
    painter.scale(square.width(), square.height());

    QPolygonF hexagon;
    for (int i = 0; i < 6; ++i) {
        const double angle = (-90.0 + 60.0 * i) * 3.14159265358979323846 / 180.0;
        hexagon << QPointF(0.5 + 0.44 * std::cos(angle), 0.5 + 0.44 * std::sin(angle));
    }
    QLinearGradient night(QPointF(0.0, 0.05), QPointF(0.0, 0.95));
    night.setColorAt(0.0, QColor(28, 58, 84));
    night.setColorAt(1.0, QColor(14, 18, 40));
    // The stroke in the fill's own gradient rounds the corners.
    painter.setPen(QPen(QBrush(night), 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(night);
    painter.drawPolygon(hexagon);

    QPolygonF rim;
    for (const QPointF& corner : hexagon) {
        rim << QPointF(0.5 + (corner.x() - 0.5) * 0.9, 0.5 + (corner.y() - 0.5) * 0.9);
    }
    QLinearGradient glow(QPointF(0.0, 0.0), QPointF(0.0, 1.0));
    glow.setColorAt(0.0, QColor(255, 196, 110, 70));
    glow.setColorAt(1.0, QColor(255, 110, 40, 190));
    painter.setPen(QPen(QBrush(glow), 0.025, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(rim);

    QPolygonF zed;
    zed << QPointF(0.28, 0.27) << QPointF(0.72, 0.27) << QPointF(0.72, 0.37) << QPointF(0.44, 0.63)
        << QPointF(0.72, 0.63) << QPointF(0.72, 0.73) << QPointF(0.28, 0.73) << QPointF(0.28, 0.63)
        << QPointF(0.56, 0.37) << QPointF(0.28, 0.37);
    QLinearGradient ember(QPointF(0.0, 0.27), QPointF(0.0, 0.73));
    ember.setColorAt(0.0, QColor(255, 226, 140));
    ember.setColorAt(0.5, QColor(255, 140, 40));
    ember.setColorAt(1.0, QColor(222, 62, 26));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ember);
    painter.drawPolygon(zed);

    painter.setBrush(QColor(255, 200, 100));
    painter.drawEllipse(QPointF(0.76, 0.2), 0.028, 0.028);
    painter.setBrush(QColor(255, 170, 70, 200));
    painter.drawEllipse(QPointF(0.68, 0.14), 0.018, 0.018);
    painter.restore();
}

AssetList logoAssets()
{
    const QSizeF mark(kMarkWidth, kMarkHeight);
    const QSizeF emblem(1.0, 1.0);
    return {
        logoAsset(QStringLiteral("zanth-logo-sd.png"), QSize(209, 45), mark, paintWordMark),
        logoAsset(QStringLiteral("zanth-logo-hd.png"), QSize(417, 89), mark, paintWordMark),
        logoAsset(QStringLiteral("zanth-logo-hd2.png"), QSize(833, 178), mark, paintWordMark),
        logoAsset(QStringLiteral("zanth-logo-simple-sd.png"), QSize(52, 52), emblem, paintEmblemOnly),
        logoAsset(QStringLiteral("zanth-logo-simple-hd.png"), QSize(104, 104), emblem, paintEmblemOnly),
        logoAsset(QStringLiteral("zanth-logo-simple-hd2.png"), QSize(208, 208), emblem, paintEmblemOnly),
    };
}

} // namespace assetgen
