import QtQuick 2.15
import Zanth 1.0

// One page of the about screen on the sheet's panel frame: a title, a few lines, links and the arrows
// that turn to the neighbouring pages.
Item {
    id: content

    property int page: 1
    property bool arrowsEnabled: true
    readonly property string sheet: "img/aboutscreen-sd.json"
    readonly property var titles: ["Zanth", "Zanth - Features", "Embervale - Features", "More from us"]
    readonly property var lines: [
        ["A 2D game engine whose games are written in QML", "One code base for desktop and mobile"],
        ["Scenes, sprites and particles", "Physics, sound and a game network"],
        ["Export JSON for usage in Zanth", "Export .plist for usage in other particle engines",
         "Create and test particles directly on target device", "Use predefined particles and create your own ones"],
        ["Embervale, the particle editor", "Bounce, a physics sample"]
    ]
    // Pages without an outside link have none here; each link logs one analytics event.
    readonly property var links: [
        { "event": "Zanth Website", "url": "https://zanth.example.org" },
        { "event": "Zanth Features", "url": "https://zanth.example.org/features" },
        null,
        { "event": "More Products", "url": "https://zanth.example.org/products" }
    ]

    signal turn(int step)

    function line(i) {
        var list = lines[page - 1]
        return list && i < list.length ? "- " + list[i] : ""
    }

    width: 440
    height: 230

    SingleSpriteFromFile {
        translateToCenterAnchor: false
        z: -1
        filename: content.sheet
        source: "item.png"
    }
    AboutButton {
        x: (content.width - width) / 2
        y: 8
        width: 240
        normalFrame: "title_normal.png"; hoverFrame: "title_hover.png"; clickFrame: "title_click.png"
        text: content.titles[content.page - 1]
    }
    Column {
        x: 24
        y: 60
        width: content.width - 48
        spacing: 6
        // A fixed set of lines, not a Repeater: items made later would need mirroring of their own.
        Text { text: content.line(0); visible: text !== ""; width: parent.width; color: "white"; font.pixelSize: 12; wrapMode: Text.Wrap }
        Text { text: content.line(1); visible: text !== ""; width: parent.width; color: "white"; font.pixelSize: 12; wrapMode: Text.Wrap }
        Text { text: content.line(2); visible: text !== ""; width: parent.width; color: "white"; font.pixelSize: 12; wrapMode: Text.Wrap }
        Text { text: content.line(3); visible: text !== ""; width: parent.width; color: "white"; font.pixelSize: 12; wrapMode: Text.Wrap }
    }
    AboutButton {
        x: (content.width - width) / 2
        y: content.height - height - 12
        width: 120
        height: 28
        visible: content.links[content.page - 1] !== null
        normalFrame: "link_normal.png"; hoverFrame: "link_hover.png"; clickFrame: "link_click.png"
        text: "Visit"
        onClicked: {
            var link = content.links[content.page - 1]
            flurry.logEvent(link.event)
            nativeUtils.openUrl(link.url)
        }
    }
    AboutButton {
        x: 10
        y: content.height - height - 6
        enabled: content.arrowsEnabled
        onClicked: content.turn(-1)
    }
    AboutButton {
        x: content.width - width - 10
        y: content.height - height - 6
        normalFrame: "right_normal.png"; hoverFrame: "right_hover.png"; clickFrame: "right_click.png"
        enabled: content.arrowsEnabled
        onClicked: content.turn(1)
    }
}
