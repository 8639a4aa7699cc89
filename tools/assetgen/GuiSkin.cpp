#include "GuiSkin.h"

#include "Canvas.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace assetgen {

namespace {

const QColor kEmber(255, 138, 36);
const QColor kEmberDark(232, 102, 28);
const QColor kSlate(42, 49, 66);
const QColor kSlateLight(58, 67, 88);
const QColor kNight(28, 34, 51);
const QColor kDeep(21, 26, 38);
const QColor kKnob(232, 232, 240);

using SkinDrawing = void (*)(QPainter& painter, const QSizeF& design);

// Draws at the design size in points, scaled to the image's pixels, so every variant shows the same.
QImage paintSkinImage(const QSize& size, const QSizeF& design, SkinDrawing drawing)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size.width() / design.width(), size.height() / design.height());
        drawing(painter, design);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    bleedColours(image);
    return image;
}

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    return gradient;
}

// A rounded panel with a border inside the design rectangle.
void panel(QPainter& painter, const QSizeF& design, double radius, const QBrush& fill, const QColor& border,
           double borderWidth)
{
    const QRectF rect = QRectF(QPointF(0, 0), design)
                            .adjusted(borderWidth / 2, borderWidth / 2, -borderWidth / 2, -borderWidth / 2);
    painter.setPen(QPen(border, borderWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);
}

void buttonFace(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, 6, vertical(rect, kSlateLight, kNight), withAlpha(kEmber, 0.8), 1.5);
    // A thin light line under the top edge gives the face some relief.
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
    painter.drawLine(QPointF(6, 2.5), QPointF(design.width() - 6, 2.5));
}

void drawButton(QPainter& painter, const QSizeF& design)
{
    buttonFace(painter, design);
}

// A left-pointing arrow: mirrored it points right, turned 90 degrees it points up.
void drawArrowButton(QPainter& painter, const QSizeF& design)
{
    buttonFace(painter, design);
    const double cx = design.width() / 2;
    const double cy = design.height() / 2;
    QPolygonF head;
    head << QPointF(cx - 8, cy) << QPointF(cx + 1, cy - 8) << QPointF(cx + 1, cy - 3.5)
         << QPointF(cx + 8, cy - 3.5) << QPointF(cx + 8, cy + 3.5) << QPointF(cx + 1, cy + 3.5)
         << QPointF(cx + 1, cy + 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 214));
    painter.drawPolygon(head);
}

// A tab with an upward chevron and grip lines.
void drawPullUpButton(QPainter& painter, const QSizeF& design)
{
    buttonFace(painter, design);
    const double cx = design.width() / 2;
    painter.setPen(QPen(QColor(255, 236, 214), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF() << QPointF(cx - 7, 12.5) << QPointF(cx, 6.5) << QPointF(cx + 7, 12.5));
    painter.setPen(QPen(withAlpha(kEmber, 0.9), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (const double x : {8.0, 11.0, design.width() - 11.0, design.width() - 8.0})
        painter.drawLine(QPointF(x, 6), QPointF(x, 14));
}

void drawGroove(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, design.height() / 2, vertical(rect, QColor(12, 15, 23), kDeep), kSlateLight, 1);
}

// A round knob, light with an ember ring and centre.
void drawKnob(QPainter& painter, const QSizeF& design, bool ring)
{
    const QPointF centre(design.width() / 2, design.height() / 2);
    const double radius = design.width() / 2 - 1.5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawEllipse(centre + QPointF(0, 1), radius, radius);
    QRadialGradient light(centre - QPointF(radius / 3, radius / 3), radius * 1.6);
    light.setColorAt(0.0, Qt::white);
    light.setColorAt(1.0, QColor(184, 188, 204));
    painter.setBrush(light);
    painter.setPen(ring ? QPen(kEmber, 2) : QPen(QColor(150, 156, 176), 1));
    painter.drawEllipse(centre, radius - 1, radius - 1);
    if (ring) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kEmber);
        painter.drawEllipse(centre, 3, 3);
    }
}

void drawSliderHandle(QPainter& painter, const QSizeF& design)
{
    drawKnob(painter, design, true);
}

void drawSwitchThumb(QPainter& painter, const QSizeF& design)
{
    drawKnob(painter, design, false);
}

void drawIndicator(QPainter& painter, const QSizeF& design)
{
    panel(painter, design, 6, withAlpha(kNight, 0.95), kEmber, 1.5);
}

// A triangle whose tip touches the edge given by tip (0 down, 1 up, 2 left, 3 right).
void drawArrow(QPainter& painter, const QSizeF& design, int tip)
{
    const double w = design.width();
    const double h = design.height();
    QPolygonF triangle;
    switch (tip) {
    case 0:
        triangle << QPointF(0, 0) << QPointF(w, 0) << QPointF(w / 2, h);
        break;
    case 1:
        triangle << QPointF(0, h) << QPointF(w, h) << QPointF(w / 2, 0);
        break;
    case 2:
        triangle << QPointF(w, 0) << QPointF(w, h) << QPointF(0, h / 2);
        break;
    default:
        triangle << QPointF(0, 0) << QPointF(0, h) << QPointF(w, h / 2);
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kEmber);
    painter.drawPolygon(triangle);
}

void drawArrowDown(QPainter& painter, const QSizeF& design)
{
    drawArrow(painter, design, 0);
}
void drawArrowUp(QPainter& painter, const QSizeF& design)
{
    drawArrow(painter, design, 1);
}
void drawArrowLeft(QPainter& painter, const QSizeF& design)
{
    drawArrow(painter, design, 2);
}
void drawArrowRight(QPainter& painter, const QSizeF& design)
{
    drawArrow(painter, design, 3);
}

void drawSwitchOff(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, design.height() / 2 - 1, vertical(rect, kDeep, kSlate), QColor(74, 84, 112), 1.5);
    painter.setPen(QPen(QColor(150, 156, 176), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(design.width() - 16, design.height() / 2), 5, 5);
}

void drawSwitchOn(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, design.height() / 2 - 1, vertical(rect, QColor(255, 176, 85), kEmberDark),
          QColor(200, 80, 20), 1.5);
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, design.height() / 2 - 6), QPointF(16, design.height() / 2 + 6));
}

void drawDialogBackground(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, 8, vertical(rect, withAlpha(kSlate, 0.95), withAlpha(kNight, 0.95)), kEmber, 1.5);
}

void drawDialogButton(QPainter& painter, const QSizeF& design)
{
    const QPointF centre(design.width() / 2, design.height() / 2);
    const double radius = design.width() / 2 - 2;
    painter.setPen(QPen(QColor(200, 80, 20), 1.5));
    QRadialGradient glow(centre - QPointF(4, 4), radius * 1.5);
    glow.setColorAt(0.0, QColor(255, 196, 120));
    glow.setColorAt(1.0, kEmberDark);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF() << centre + QPointF(-4, -7) << centre + QPointF(-4, 7)
                                    << centre + QPointF(7, 0));
}

void drawWindowBackground(QPainter& painter, const QSizeF& design)
{
    const QRectF rect(QPointF(0, 0), design);
    panel(painter, design, 10, vertical(rect, QColor(35, 42, 59, 242), QColor(22, 27, 39, 242)), kSlateLight,
          2);
}

struct SkinImage
{
    const char* name;
    QSize size;
    SkinDrawing drawing;
};

const SkinImage kSkinImages[] = {
    {"button", {64, 32}, drawButton},
    {"button-arrow", {32, 32}, drawArrowButton},
    {"button-pullup", {54, 20}, drawPullUpButton},
    {"slider-groove", {240, 8}, drawGroove},
    {"slider-handle", {28, 28}, drawSliderHandle},
    {"slider-indicator", {48, 40}, drawIndicator},
    {"slider-arrow-down", {12, 8}, drawArrowDown},
    {"slider-arrow-up", {12, 8}, drawArrowUp},
    {"slider-arrow-left", {8, 12}, drawArrowLeft},
    {"slider-arrow-right", {8, 12}, drawArrowRight},
    {"switch-off", {64, 32}, drawSwitchOff},
    {"switch-on", {64, 32}, drawSwitchOn},
    {"switch-thumb", {28, 28}, drawSwitchThumb},
    {"textdialog-background", {200, 55}, drawDialogBackground},
    {"textdialog-button", {32, 32}, drawDialogButton},
    {"guiwindow-background", {128, 128}, drawWindowBackground},
};

struct Variant
{
    const char* suffix;
    int scale;
};

const Variant kVariants[] = {{"-sd", 1}, {"-hd", 2}, {"-hd2", 4}};

} // namespace

AssetList guiSkinAssets()
{
    AssetList assets;
    for (const SkinImage& skinImage : kSkinImages) {
        for (const Variant& variant : kVariants) {
            Asset asset;
            asset.path = QStringLiteral("plugins/generic/Zanth/gui/skins/images/%1%2.png")
                             .arg(QLatin1String(skinImage.name), QLatin1String(variant.suffix));
            asset.size = skinImage.size * variant.scale;
            const QSizeF design(skinImage.size);
            const SkinDrawing drawing = skinImage.drawing;
            asset.image = [design, drawing](const QSize& size) {
                return paintSkinImage(size, design, drawing);
            };
            assets.push_back(asset);
        }
    }
    return assets;
}

} // namespace assetgen
