// The frame cost of what does not change: 480 tiles and 20 props (500 Images on two textures) that never
// move, with one small Rectangle running across them, shown by the engine (items mirrored into the scene
// graph) and by Qt Quick's own renderer (the same QML in a shown QQuickView), one after the other under the
// same X server. Prints frames per second, CPU time per frame and peak memory of both and their ratios,
// and a screenshot of each at the same game time (PeerComparison.h).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/StaticImagesBench [--seconds 10] [--warmup 2]

#include "PeerComparison.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

const char* const kStaticQml = R"(import QtQuick 2.15

Item {
    width: 960
    height: 640

    // A floor of 24 x 20 tiles.
    Repeater {
        model: 480
        Image {
            source: "tile32.png"
            x: (index % 24) * 40 + 4
            y: Math.floor(index / 24) * 32
            width: 32
            height: 32
        }
    }

    // Props over the floor.
    Repeater {
        model: 20
        Image {
            source: "prop32.png"
            x: (index * 173) % 920
            y: (index * 97) % 600
            width: 32
            height: 32
        }
    }

    Rectangle {
        width: 16
        height: 16
        y: 312
        color: "#ffd040"
        NumberAnimation on x {
            from: 0; to: 944; duration: 4000; loops: Animation.Infinite
        }
    }
}
)";

// A stone tile and a round prop, 32 x 32, drawn here.
void writeImages(const QString& folder)
{
    QImage tile(32, 32, QImage::Format_ARGB32_Premultiplied);
    tile.fill(QColor(60, 70, 90));
    {
        QPainter painter(&tile);
        QLinearGradient gradient(0, 0, 32, 32);
        gradient.setColorAt(0, QColor(110, 120, 140));
        gradient.setColorAt(1, QColor(50, 55, 70));
        painter.fillRect(2, 2, 28, 28, gradient);
    }
    tile.save(folder + "/qml/tile32.png", "PNG");
    QImage prop(32, 32, QImage::Format_ARGB32_Premultiplied);
    prop.fill(Qt::transparent);
    {
        QPainter painter(&prop);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 160, 60));
        painter.drawEllipse(QRectF(2, 2, 28, 28));
        painter.setBrush(QColor(200, 230, 120));
        painter.drawEllipse(QRectF(9, 7, 10, 10));
    }
    prop.save(folder + "/qml/prop32.png", "PNG");
}

void writeScene(const QString& folder)
{
    peers::writeSceneFile(folder, "main.qml", kStaticQml);
    writeImages(folder);
    peers::writeConfig(folder, "Zanth static scene benchmark");
}

} // namespace

int main(int argc, char** argv)
{
    return peers::compare(argc, argv, peers::Options(10, 2), peers::Side{}, writeScene);
}
