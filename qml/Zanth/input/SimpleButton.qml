import QtQuick 2.15

// A plain development button: a dark blue box sized to its text.
Rectangle {
    id: button

    property int marginHorizontal: 10
    property int marginVertical: 5
    property alias text: buttonText.text
    property alias textColor: buttonText.color
    property alias textItem: buttonText
    property alias font: buttonText.font
    property alias mouseArea: mouseArea

    signal clicked

    width: buttonText.width + 2 * marginHorizontal
    height: buttonText.height + 2 * marginVertical
    color: "darkblue"

    Text {
        id: buttonText
        anchors.centerIn: parent
        font.pixelSize: 18
        color: "white"
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
