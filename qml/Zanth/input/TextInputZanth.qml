import QtQuick 2.15
import Zanth 1.0

// A single-line text input: a click opens the input, press-and-hold closes it.
TextInputItem {
    id: textInput

    MouseArea {
        anchors.fill: parent
        onClicked: textInput.openSoftwareInputPanel()
        onPressAndHold: textInput.closeSoftwareInputPanel()
    }
}
