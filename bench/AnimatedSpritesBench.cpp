// 1,000 animated sprites on one sheet of 8 frames at 10 frames a second: the engine's SpriteSequence (one
// Sprite each, drawn by a sprite batch) against Qt Quick's AnimatedSprite with the same sheet and frame
// rate, one after the other under the same X server. Prints frames per second, CPU time per frame and
// peak memory of both and their ratios, and a screenshot of each at the same game time (PeerComparison.h).
// AnimatedSprite keeps time by the wall clock, not by QML's animation clock: for the screenshots both
// sides stop their sprites and show the frame of the game time instead.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/AnimatedSpritesBench [--seconds 10] [--warmup
//   2]

#include "PeerComparison.h"

#include <QImage>
#include <QPainter>

namespace {

// 40 columns of 25 rows of 24 x 24 sprites; t is the game time in milliseconds.
const char* const kEngineQml = R"(import QtQuick 2.15
import Zanth 1.0

Item {
    id: root

    property real t: 0

    width: 960
    height: 640

    NumberAnimation on t {
        from: 0; to: 3600000; duration: 3600000; loops: Animation.Infinite
    }

    Repeater {
        model: 1000
        SpriteSequence {
            x: (index % 40) * 24
            y: Math.floor(index / 40) * 24 + 20
            translateToCenterAnchor: false
            running: !benchShot
            Sprite {
                name: "spin"
                source: "sheet.png"
                frameCount: 8
                frameWidth: 24
                frameHeight: 24
                frameRate: 10
                frameNumber: benchShot ? Math.floor(root.t / 100) % 8 : 0
            }
        }
    }
}
)";

const char* const kQtQuickQml = R"(import QtQuick 2.15

Item {
    id: root

    property real t: 0

    width: 960
    height: 640

    NumberAnimation on t {
        from: 0; to: 3600000; duration: 3600000; loops: Animation.Infinite
    }

    Repeater {
        model: 1000
        AnimatedSprite {
            x: (index % 40) * 24
            y: Math.floor(index / 40) * 24 + 20
            width: 24
            height: 24
            source: "sheet.png"
            frameCount: 8
            frameWidth: 24
            frameHeight: 24
            frameRate: 10
            interpolate: false
            running: !benchShot
            currentFrame: benchShot ? Math.floor(root.t / 100) % 8 : 0
        }
    }
}
)";

// Eight frames of a turning bar on a disc whose colour runs round the hue circle, 24 x 24 each in a row.
void writeSheet(const QString& folder)
{
    QImage sheet(8 * 24, 24, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int frame = 0; frame < 8; ++frame) {
        painter.save();
        painter.translate(frame * 24 + 12, 12);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv(frame * 45, 200, 230));
        painter.drawEllipse(QRectF(-10, -10, 20, 20));
        painter.rotate(frame * 22.5);
        painter.setBrush(QColor(20, 20, 30));
        painter.drawRect(QRectF(-8, -2, 16, 4));
        painter.restore();
    }
    painter.end();
    sheet.save(folder + "/qml/sheet.png", "PNG");
}

void writeScenes(const QString& folder)
{
    peers::writeSceneFile(folder, "main.qml", kEngineQml);
    peers::writeSceneFile(folder, "quick.qml", kQtQuickQml);
    writeSheet(folder);
    peers::writeConfig(folder, "Zanth sprites benchmark");
}

} // namespace

int main(int argc, char** argv)
{
    peers::Side side;
    side.qtQuickFile = "quick.qml";
    peers::Options options(10, 2);
    // Half a frame of the sheet in: frame 12, the fifth of the sheet.
    options.shotTime = 1.25;
    return peers::compare(argc, argv, options, side, writeScenes);
}
