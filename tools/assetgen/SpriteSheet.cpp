#include "SpriteSheet.h"

#include "Canvas.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <algorithm>

namespace assetgen {

namespace {

QJsonObject rectObject(const QRect& rect)
{
    return QJsonObject{{"x", rect.x()}, {"y", rect.y()}, {"w", rect.width()}, {"h", rect.height()}};
}

} // namespace

SpriteSheet::SpriteSheet(const QSize& sheetSize, int padding) : m_sheetSize(sheetSize), m_padding(padding) {}

void SpriteSheet::addFrame(const QString& name, const QSize& size, FrameDrawing drawing)
{
    m_frames.push_back(Frame{name, QRect(QPoint(0, 0), size), std::move(drawing)});
}

bool SpriteSheet::pack()
{
    struct Shelf
    {
        int top;
        int height;
        int used;
    };
    std::vector<Frame*> order;
    for (Frame& frame : m_frames) {
        order.push_back(&frame);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Frame* a, const Frame* b) { return a->rect.height() > b->rect.height(); });

    std::vector<Shelf> shelves;
    int nextTop = 0;
    for (Frame* frame : order) {
        const int w = frame->rect.width();
        const int h = frame->rect.height();
        auto shelf = std::find_if(shelves.begin(), shelves.end(), [&](const Shelf& s) {
            return h <= s.height && s.used + w <= m_sheetSize.width();
        });
        if (shelf == shelves.end()) {
            if (nextTop + h > m_sheetSize.height() || w > m_sheetSize.width()) {
                return false;
            }
            shelves.push_back(Shelf{nextTop, h, 0});
            nextTop += h + m_padding;
            shelf = shelves.end() - 1;
        }
        frame->rect.moveTo(shelf->used, shelf->top);
        shelf->used += w + m_padding;
    }
    return true;
}

QImage SpriteSheet::render(int scale) const
{
    QImage sheet(m_sheetSize * scale, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    {
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(scale, scale);
        for (const Frame& frame : m_frames) {
            painter.save();
            painter.setClipRect(frame.rect);
            painter.translate(frame.rect.topLeft());
            frame.drawing(painter, QRectF(QPointF(0, 0), frame.rect.size()));
            painter.restore();
        }
    }
    sheet = sheet.convertToFormat(QImage::Format_ARGB32);
    bleedColours(sheet);
    return sheet;
}

QByteArray SpriteSheet::json(int scale, const QString& imageName) const
{
    QJsonObject frames;
    for (const Frame& frame : m_frames) {
        const QRect scaled(frame.rect.topLeft() * scale, frame.rect.size() * scale);
        frames.insert(
            frame.name,
            QJsonObject{{"frame", rectObject(scaled)},
                        {"rotated", false},
                        {"trimmed", false},
                        {"spriteSourceSize", rectObject(QRect(QPoint(0, 0), scaled.size()))},
                        {"sourceSize", QJsonObject{{"w", scaled.width()}, {"h", scaled.height()}}}});
    }
    const QSize size = m_sheetSize * scale;
    const QJsonObject meta{{"image", imageName},
                           {"format", "RGBA8888"},
                           {"size", QJsonObject{{"w", size.width()}, {"h", size.height()}}},
                           {"scale", QString::number(scale)}};
    return QJsonDocument(QJsonObject{{"frames", frames}, {"meta", meta}}).toJson(QJsonDocument::Indented);
}

} // namespace assetgen
