// 1,000 Rectangles and 1,000 Images whose x and y run on looping NumberAnimations, shown for a while by the
// engine (items mirrored into the scene graph) and by Qt Quick's own renderer (the same QML in a shown
// QQuickView), one after the other under the same X server. Prints frames per second and CPU time per frame
// of both (the process's threads, and the X server's share), their peak memory and their ratios, and a
// screenshot of each at the same game time (PeerComparison.h).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/BridgeItemsBench [--seconds 10] [--warmup 2]

#include "PeerComparison.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <fstream>
#include <string>

namespace {

const char* const kItemsQml = R"(import QtQuick 2.15

Item {
    width: 960
    height: 640

    Repeater {
        model: 1000
        Rectangle {
            width: 10
            height: 10
            color: Qt.hsla((index % 97) / 97, 0.85, 0.55, 1.0)
            NumberAnimation on x {
                from: (index * 7) % 2 ? 0 : 950; to: (index * 7) % 2 ? 950 : 0
                duration: 1500 + (index * 37) % 2500; loops: Animation.Infinite
            }
            NumberAnimation on y {
                from: index % 3 ? 0 : 630; to: index % 3 ? 630 : 0
                duration: 1300 + (index * 53) % 2700; loops: Animation.Infinite
            }
        }
    }

    Repeater {
        model: 1000
        Image {
            source: "item16.png"
            width: 16
            height: 16
            NumberAnimation on x {
                from: index % 2 ? 0 : 944; to: index % 2 ? 944 : 0
                duration: 1700 + (index * 41) % 2300; loops: Animation.Infinite
            }
            NumberAnimation on y {
                from: (index * 5) % 3 ? 624 : 0; to: (index * 5) % 3 ? 0 : 624
                duration: 1100 + (index * 29) % 2900; loops: Animation.Infinite
            }
        }
    }
}
)";

// Writes the QML, its 16 x 16 image (drawn here) and a publish-stage configuration into the folder.
void writeScene(const QString& folder)
{
    QDir().mkpath(folder + "/qml");
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient gradient(8, 8, 8);
        gradient.setColorAt(0, QColor(255, 255, 200));
        gradient.setColorAt(1, QColor(40, 120, 255));
        painter.setBrush(gradient);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0, 0, 16, 16));
    }
    image.save(folder + "/qml/item16.png", "PNG");
    std::ofstream(QString(folder + "/qml/main.qml").toStdString()) << kItemsQml;
    // A publish stage keeps the log quiet, as a shipped game's.
    std::ofstream(QString(folder + "/qml/config.json").toStdString())
        << "{ \"title\": \"Zanth items benchmark\", \"stage\": \"publish\" }\n";
}

} // namespace

int main(int argc, char** argv)
{
    return peers::compare(argc, argv, peers::Options(10, 2), peers::Side{}, writeScene);
}
