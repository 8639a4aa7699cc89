import QtQuick 2.15

QtObject {
    property real contentWidth: 200
    property real spacing: 4
    property color textColor: "#ffffff"
    property bool usingImage: true
}
