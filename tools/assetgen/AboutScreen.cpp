#include "AboutScreen.h"

#include "Canvas.h"
#include "Logos.h"
#include "SpriteSheet.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

namespace assetgen {

namespace {

// The sheet's base size is the "-sd" one; "-hd" and "-hd2" are two and four times it.
const QSize kSheetSize(512, 1024);
constexpr int kPadding = 2;

enum class ButtonState
{
    Normal,
    Hover,
    Click
};

const char* stateSuffix(ButtonState state)
{
    switch (state) {
    case ButtonState::Normal:
        return "_normal.png";
    case ButtonState::Hover:
        return "_hover.png";
    case ButtonState::Click:
        return "_click.png";
    }
    return "";
}

// Colours of a plain button plate in one state: fill from top to bottom, border and the glyph's ink.
struct PlateStyle
{
    QColor top;
    QColor bottom;
    QColor border;
    QColor ink;
};

PlateStyle plateStyle(ButtonState state)
{
    switch (state) {
    case ButtonState::Hover:
        return {QColor(92, 68, 118, 235), QColor(56, 38, 78, 235), QColor(255, 164, 84),
                QColor(255, 226, 182)};
    case ButtonState::Click:
        return {QColor(22, 18, 42, 245), QColor(38, 32, 64, 245), QColor(232, 128, 56),
                QColor(210, 196, 214)};
    case ButtonState::Normal:
        break;
    }
    return {QColor(50, 46, 84, 220), QColor(28, 26, 54, 220), QColor(255, 255, 255, 80),
            QColor(238, 232, 246)};
}

// A pressed button's content sinks by one unit.
double pressOffset(ButtonState state)
{
    return state == ButtonState::Click ? 1.0 : 0.0;
}

void paintPlate(QPainter& p, const QRectF& rect, double radius, const PlateStyle& style)
{
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0.0, style.top);
    fill.setColorAt(1.0, style.bottom);
    p.setPen(QPen(style.border, 1.5));
    p.setBrush(fill);
    p.drawRoundedRect(rect.adjusted(1.0, 1.0, -1.0, -1.0), radius, radius);
}

void paintCentredText(QPainter& p, const QRectF& box, const QFont& font, const QString& text,
                      const QColor& ink)
{
    const QFontMetricsF metrics(font);
    const double x = box.center().x() - metrics.horizontalAdvance(text) / 2.0;
    const double y = box.center().y() + (metrics.ascent() - metrics.descent()) / 2.0;
    QPainterPath path;
    path.addText(x, y, font, text);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path);
}

void paintBackground(QPainter& p, const QRectF& r)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(10, 14, 34));
    sky.setColorAt(0.55, QColor(28, 20, 52));
    sky.setColorAt(1.0, QColor(66, 26, 20));
    p.fillRect(r, sky);

    for (unsigned int i = 0; i < 70; ++i) {
        const QPointF at(r.left() + scatter(i, 5u) * r.width(),
                         r.top() + std::pow(scatter(i, 9u), 1.6) * r.height() * 0.6);
        const double size = 0.4 + 0.9 * scatter(i, 13u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 246, 230, int(60 + 160 * scatter(i, 17u))));
        p.drawEllipse(at, size, size);
    }

    QRadialGradient embers(QPointF(r.center().x(), r.bottom() + 20.0), r.width() * 0.55);
    embers.setColorAt(0.0, QColor(255, 122, 40, 120));
    embers.setColorAt(1.0, QColor(255, 90, 30, 0));
    p.fillRect(r, embers);

    // Two ridges of the vale, the nearer one darker.
    const double w = r.width();
    const double b = r.bottom();
    QPainterPath far;
    far.moveTo(r.left(), b - 70.0);
    far.cubicTo(w * 0.2, b - 110.0, w * 0.35, b - 60.0, w * 0.5, b - 80.0);
    far.cubicTo(w * 0.68, b - 104.0, w * 0.82, b - 58.0, r.right(), b - 92.0);
    far.lineTo(r.right(), b);
    far.lineTo(r.left(), b);
    far.closeSubpath();
    p.setBrush(QColor(36, 22, 44, 235));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(r.left(), b - 34.0);
    near.cubicTo(w * 0.25, b - 64.0, w * 0.4, b - 18.0, w * 0.52, b - 30.0);
    near.cubicTo(w * 0.7, b - 50.0, w * 0.86, b - 20.0, r.right(), b - 44.0);
    near.lineTo(r.right(), b);
    near.lineTo(r.left(), b);
    near.closeSubpath();
    p.setBrush(QColor(16, 10, 20, 245));
    p.drawPath(near);

    p.setPen(QPen(QColor(255, 200, 150, 46), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(3.5, 3.5, -3.5, -3.5), 8.0, 8.0);
}

void paintItem(QPainter& p, const QRectF& r)
{
    const QRectF panel = r.adjusted(1.0, 1.0, -1.0, -1.0);
    QLinearGradient fill(panel.topLeft(), panel.bottomLeft());
    fill.setColorAt(0.0, QColor(30, 32, 62, 200));
    fill.setColorAt(1.0, QColor(12, 12, 30, 200));
    p.setPen(QPen(QColor(255, 168, 96, 150), 1.5));
    p.setBrush(fill);
    p.drawRoundedRect(panel, 12.0, 12.0);
    QLinearGradient sheen(panel.topLeft(), QPointF(panel.left(), panel.top() + 40.0));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawRoundedRect(panel.adjusted(2.0, 2.0, -2.0, -panel.height() + 40.0), 10.0, 10.0);
}

void paintTitle(QPainter& p, const QRectF& r, ButtonState state)
{
    QColor top(236, 112, 42);
    QColor bottom(170, 50, 26);
    if (state == ButtonState::Hover) {
        top = QColor(255, 156, 74);
        bottom = QColor(206, 76, 32);
    } else if (state == ButtonState::Click) {
        top = QColor(150, 52, 22);
        bottom = QColor(198, 82, 34);
    }
    const double dy = pressOffset(state);
    QPolygonF ribbon;
    ribbon << QPointF(r.left() + 2.0, r.top() + 4.0 + dy) << QPointF(r.right() - 2.0, r.top() + 4.0 + dy)
           << QPointF(r.right() - 14.0, r.center().y() + dy)
           << QPointF(r.right() - 2.0, r.bottom() - 4.0 + dy)
           << QPointF(r.left() + 2.0, r.bottom() - 4.0 + dy) << QPointF(r.left() + 14.0, r.center().y() + dy);
    QLinearGradient fill(QPointF(0.0, r.top() + 4.0), QPointF(0.0, r.bottom() - 4.0));
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    p.setPen(QPen(QColor(96, 24, 12, 220), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(ribbon);
    p.setPen(QPen(QColor(255, 230, 190, state == ButtonState::Click ? 50 : 120), 1.0));
    p.drawLine(QPointF(r.left() + 16.0, r.top() + 7.0 + dy), QPointF(r.right() - 16.0, r.top() + 7.0 + dy));
}

void paintInteractiveItem(QPainter& p, const QRectF& r, ButtonState state)
{
    const PlateStyle style = plateStyle(state);
    const double dy = pressOffset(state);
    paintPlate(p, r.translated(0.0, dy).adjusted(0.0, 0.0, 0.0, -1.0), 10.0, style);
    QPainterPath chevron;
    const double x = r.right() - 18.0;
    const double y = r.center().y() + dy;
    chevron.moveTo(x - 4.0, y - 7.0);
    chevron.lineTo(x + 3.0, y);
    chevron.lineTo(x - 4.0, y + 7.0);
    p.setPen(QPen(style.ink, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

void paintLink(QPainter& p, const QRectF& r, ButtonState state)
{
    const PlateStyle style = plateStyle(state);
    const double dy = pressOffset(state);
    const QRectF pill = r.translated(0.0, dy).adjusted(0.0, 0.0, 0.0, -1.0);
    paintPlate(p, pill, pill.height() / 2.0 - 1.0, style);
    // An arrow leaving a box: the link opens outside the application.
    const QPointF corner(pill.right() - 22.0, pill.center().y() - 6.0);
    p.setPen(QPen(style.ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath box;
    box.moveTo(corner + QPointF(5.0, 0.0));
    box.lineTo(corner);
    box.lineTo(corner + QPointF(0.0, 12.0));
    box.lineTo(corner + QPointF(12.0, 12.0));
    box.lineTo(corner + QPointF(12.0, 7.0));
    p.drawPath(box);
    p.drawLine(corner + QPointF(6.0, 6.0), corner + QPointF(14.0, -2.0));
    p.drawLine(corner + QPointF(9.0, -2.0), corner + QPointF(14.0, -2.0));
    p.drawLine(corner + QPointF(14.0, -2.0), corner + QPointF(14.0, 3.0));
}

void paintArrowButton(QPainter& p, const QRectF& r, ButtonState state, bool left)
{
    const PlateStyle style = plateStyle(state);
    const double dy = pressOffset(state);
    const QPointF centre = r.center() + QPointF(0.0, dy);
    QRadialGradient fill(centre - QPointF(0.0, 6.0), r.width() * 0.6);
    fill.setColorAt(0.0, style.top);
    fill.setColorAt(1.0, style.bottom);
    p.setPen(QPen(style.border, 1.5));
    p.setBrush(fill);
    p.drawEllipse(centre, r.width() / 2.0 - 2.0, r.height() / 2.0 - 2.0);
    const double s = left ? 1.0 : -1.0;
    QPainterPath chevron;
    chevron.moveTo(centre + QPointF(s * 3.5, -8.0));
    chevron.lineTo(centre + QPointF(-s * 4.5, 0.0));
    chevron.lineTo(centre + QPointF(s * 3.5, 8.0));
    p.setPen(QPen(style.ink, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

void paintQtButton(QPainter& p, const QRectF& r, ButtonState state)
{
    PlateStyle style = plateStyle(state);
    // A neutral slate plate: the toolkit's name in our own type, not its mark.
    style.top = state == ButtonState::Click ? QColor(36, 40, 48) : QColor(72, 80, 94);
    style.bottom = state == ButtonState::Click ? QColor(54, 60, 70) : QColor(42, 48, 58);
    if (state == ButtonState::Hover) {
        style.top = style.top.lighter(125);
        style.bottom = style.bottom.lighter(125);
    }
    const double dy = pressOffset(state);
    const QRectF plate = r.translated(0.0, dy).adjusted(0.0, 0.0, 0.0, -1.0);
    paintPlate(p, plate, 8.0, style);
    paintCentredText(p, QRectF(plate.left(), plate.top() + 3.0, plate.width(), 12.0), appFont(9.0),
                     QStringLiteral("built with"), style.ink);
    paintCentredText(p, QRectF(plate.left(), plate.top() + 14.0, plate.width(), 22.0), appFont(18.0, true),
                     QStringLiteral("Qt"), style.ink);
}

void paintZanth2dButton(QPainter& p, const QRectF& r, ButtonState state)
{
    const PlateStyle style = plateStyle(state);
    const double dy = pressOffset(state);
    const QRectF plate = r.translated(0.0, dy).adjusted(0.0, 0.0, 0.0, -1.0);
    paintPlate(p, plate, 8.0, style);
    paintZanthEmblem(p, QRectF(plate.left() + 4.0, plate.center().y() - 14.0, 28.0, 28.0));
    paintCentredText(p, QRectF(plate.left() + 32.0, plate.top(), plate.width() - 34.0, plate.height()),
                     appFont(13.0, true), QStringLiteral("zanth2d"), style.ink);
}

// A game of the maker: a paper lantern drifting over night water.
void paintLanternIcon(QPainter& p, const QRectF& r)
{
    QLinearGradient night(r.topLeft(), r.bottomLeft());
    night.setColorAt(0.0, QColor(24, 32, 78));
    night.setColorAt(1.0, QColor(10, 12, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(night);
    p.drawRoundedRect(r, 12.0, 12.0);
    p.setBrush(QColor(18, 54, 72));
    p.drawRoundedRect(QRectF(r.left(), r.bottom() - 16.0, r.width(), 16.0), 12.0, 12.0);
    p.drawRect(QRectF(r.left(), r.bottom() - 16.0, r.width(), 6.0));
    QRadialGradient halo(r.center() - QPointF(0.0, 4.0), 24.0);
    halo.setColorAt(0.0, QColor(255, 180, 80, 150));
    halo.setColorAt(1.0, QColor(255, 140, 40, 0));
    p.setBrush(halo);
    p.drawEllipse(r.center() - QPointF(0.0, 4.0), 24.0, 24.0);
    const QRectF lantern(r.center().x() - 9.0, r.center().y() - 16.0, 18.0, 24.0);
    QLinearGradient paper(lantern.topLeft(), lantern.topRight());
    paper.setColorAt(0.0, QColor(232, 96, 34));
    paper.setColorAt(0.5, QColor(255, 206, 120));
    paper.setColorAt(1.0, QColor(232, 96, 34));
    p.setBrush(paper);
    p.drawRoundedRect(lantern, 7.0, 9.0);
    p.setBrush(QColor(60, 30, 24));
    p.drawRect(QRectF(lantern.left() + 4.0, lantern.top() - 2.0, 10.0, 3.0));
    p.drawRect(QRectF(lantern.left() + 4.0, lantern.bottom() - 1.0, 10.0, 3.0));
    p.setBrush(QColor(255, 190, 100, 110));
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - 9.0), 7.0, 2.0);
}

// A game of the maker: a pebble hopping across a pond.
void paintPebbleIcon(QPainter& p, const QRectF& r)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(120, 196, 232));
    sky.setColorAt(1.0, QColor(206, 236, 246));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(r, 12.0, 12.0);
    p.setBrush(QColor(70, 150, 88));
    p.drawRoundedRect(QRectF(r.left(), r.bottom() - 20.0, r.width(), 20.0), 12.0, 12.0);
    p.drawRect(QRectF(r.left(), r.bottom() - 20.0, r.width(), 8.0));
    p.setBrush(QColor(64, 132, 196));
    p.drawEllipse(QPointF(r.center().x() + 6.0, r.bottom() - 11.0), 20.0, 5.0);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.6, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath hop;
    hop.moveTo(r.left() + 10.0, r.bottom() - 22.0);
    hop.quadTo(r.left() + 24.0, r.top() + 8.0, r.center().x() + 4.0, r.bottom() - 26.0);
    p.drawPath(hop);
    p.setPen(Qt::NoPen);
    QRadialGradient stone(QPointF(r.center().x() + 10.0, r.center().y() - 2.0), 10.0);
    stone.setColorAt(0.0, QColor(200, 200, 196));
    stone.setColorAt(1.0, QColor(110, 110, 118));
    p.setBrush(stone);
    p.drawEllipse(QPointF(r.center().x() + 12.0, r.center().y() + 2.0), 9.0, 7.0);
}

void paintProductButton(QPainter& p, const QRectF& r, ButtonState state,
                        void (*icon)(QPainter&, const QRectF&))
{
    const double dy = pressOffset(state);
    const QRectF tile = r.adjusted(2.0, 2.0, -2.0, -3.0).translated(0.0, dy);
    icon(p, tile);
    if (state == ButtonState::Hover) {
        p.setPen(QPen(QColor(255, 164, 84), 2.0));
        p.setBrush(QColor(255, 255, 255, 28));
    } else if (state == ButtonState::Click) {
        p.setPen(QPen(QColor(232, 128, 56), 2.0));
        p.setBrush(QColor(0, 0, 0, 70));
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
        p.setBrush(Qt::NoBrush);
    }
    p.drawRoundedRect(tile, 12.0, 12.0);
}

SpriteSheet aboutScreenSheet()
{
    SpriteSheet sheet(kSheetSize, kPadding);
    sheet.addFrame(QStringLiteral("background.png"), QSize(480, 320), paintBackground);
    sheet.addFrame(QStringLiteral("item.png"), QSize(440, 230), paintItem);

    using StateDrawing = std::function<void(QPainter&, const QRectF&, ButtonState)>;
    const struct
    {
        const char* name;
        QSize size;
        StateDrawing drawing;
    } buttons[] = {
        {"left", QSize(40, 40),
         [](QPainter& p, const QRectF& r, ButtonState s) { paintArrowButton(p, r, s, true); }},
        {"right", QSize(40, 40),
         [](QPainter& p, const QRectF& r, ButtonState s) { paintArrowButton(p, r, s, false); }},
        {"title", QSize(240, 40), paintTitle},
        {"link", QSize(120, 28), paintLink},
        {"interactive_item", QSize(200, 50), paintInteractiveItem},
        {"qt", QSize(80, 40), paintQtButton},
        {"zanth2d", QSize(80, 40), paintZanth2dButton},
        {"product1", QSize(64, 64),
         [](QPainter& p, const QRectF& r, ButtonState s) { paintProductButton(p, r, s, paintLanternIcon); }},
        {"product2", QSize(64, 64),
         [](QPainter& p, const QRectF& r, ButtonState s) { paintProductButton(p, r, s, paintPebbleIcon); }},
    };
    for (const auto& button : buttons) {
        for (const ButtonState state : {ButtonState::Normal, ButtonState::Hover, ButtonState::Click}) {
            const StateDrawing drawing = button.drawing;
            sheet.addFrame(QString::fromLatin1(button.name) + stateSuffix(state), button.size,
                           [drawing, state](QPainter& p, const QRectF& r) { drawing(p, r, state); });
        }
    }
    return sheet;
}

void addSheetSize(AssetList& assets, const QString& suffix, int scale)
{
    const QString image = QStringLiteral("aboutscreen%1.png").arg(suffix);
    Asset png;
    png.path = QStringLiteral("qml/img/") + image;
    png.size = kSheetSize * scale;
    png.image = [scale](const QSize&) {
        SpriteSheet sheet = aboutScreenSheet();
        return sheet.pack() ? sheet.render(scale) : QImage();
    };
    assets.push_back(png);

    Asset json;
    json.path = QStringLiteral("qml/img/aboutscreen%1.json").arg(suffix);
    json.data = [scale, image]() {
        SpriteSheet sheet = aboutScreenSheet();
        return sheet.pack() ? sheet.json(scale, image) : QByteArray();
    };
    assets.push_back(json);
}

} // namespace

AssetList aboutScreenAssets()
{
    AssetList assets;
    addSheetSize(assets, QStringLiteral("-sd"), 1);
    addSheetSize(assets, QStringLiteral("-hd"), 2);
    addSheetSize(assets, QStringLiteral("-hd2"), 4);
    return assets;
}

} // namespace assetgen
