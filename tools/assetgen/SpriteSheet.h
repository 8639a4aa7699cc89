#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace assetgen {

// Named frames packed into one texture at a base size, drawn at whole multiples of it, and described by
// a sprite-sheet JSON file (a hash of frames: rectangle, rotation, trimming, source size; and the meta
// block with the image's name, pixel format and size).
class SpriteSheet
{
public:
    // Draws one frame into rect (base units, the frame's own rectangle at the origin); the painter is
    // clipped to the frame.
    using FrameDrawing = std::function<void(QPainter& painter, const QRectF& rect)>;

    // sheetSize and padding in base units; padding keeps filtered neighbours apart.
    SpriteSheet(const QSize& sheetSize, int padding);

    void addFrame(const QString& name, const QSize& size, FrameDrawing drawing);
    // Places every frame, tallest first, on shelves; false when they do not fit the sheet.
    bool pack();

    // The sheet at scale times the base size (straight alpha), after pack().
    QImage render(int scale) const;
    // The sprite-sheet JSON for the image named imageName at scale, after pack().
    QByteArray json(int scale, const QString& imageName) const;

private:
    struct Frame
    {
        QString name;
        QRect rect;
        FrameDrawing drawing;
    };

    QSize m_sheetSize;
    int m_padding;
    std::vector<Frame> m_frames;
};

} // namespace assetgen
