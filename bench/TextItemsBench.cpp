// 1,000 Text items whose text changes every frame (score and timer labels, as a game's HUD has them),
// shown by the engine (each a label of the scene graph) and by Qt Quick's own renderer (the same QML in a
// shown QQuickView), one after the other under the same X server. Prints frames per second, CPU time per
// frame and peak memory of both and their ratios, and a screenshot of each at the same game time
// (PeerComparison.h).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/TextItemsBench [--seconds 10] [--warmup 2]

#include "PeerComparison.h"

namespace {

// 25 columns of 40 rows; t is the game time in milliseconds, so every label changes every frame. The
// engine centres text vertically in its box and draws its glyphs as the font engine rasterises them; Qt
// Quick is asked for the same (vertical centring, native rendering), so both draw the same picture. At a
// box 15 pixels high both round the centred line to the same row.
const char* const kTextsQml = R"(import QtQuick 2.15

Item {
    id: root

    property real t: 0

    width: 1000
    height: 640

    NumberAnimation on t {
        from: 0; to: 3600000; duration: 3600000; loops: Animation.Infinite
    }

    Repeater {
        model: 1000
        Text {
            x: (index % 25) * 40 + 2
            y: Math.floor(index / 25) * 16 + 1
            width: 38
            height: 15
            font.family: "Liberation Sans"
            font.pixelSize: 11
            verticalAlignment: Text.AlignVCenter
            renderType: Text.NativeRendering
            color: Qt.hsla((index % 13) / 13, 0.7, 0.7, 1.0)
            text: index % 2 ? (root.t / 1000 + index).toFixed(2)
                            : String(Math.floor(root.t / 10) * 3 + index * 17)
        }
    }
}
)";

void writeScene(const QString& folder)
{
    peers::writeSceneFile(folder, "main.qml", kTextsQml);
    peers::writeConfig(folder, "Zanth text benchmark");
}

} // namespace

int main(int argc, char** argv)
{
    return peers::compare(argc, argv, peers::Options(10, 2), peers::Side{}, writeScene);
}
