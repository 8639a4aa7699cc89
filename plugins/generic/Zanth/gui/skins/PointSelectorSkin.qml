import QtQuick 2.15

QtObject {
    property real contentWidth: 200
    property bool usingImage: true
}
