import QtQuick 2.15
import Zanth 1.0

// A full-width button of the main menu.
Button {
    width: parent ? parent.width : 100
    height: 30
}
