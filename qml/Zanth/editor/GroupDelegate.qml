import QtQuick 2.15

// One page of the editor: a scrollable column of widgets.
Flickable {
    id: page

    property string groupName
    property int elementCount: 0
    property bool external: false
    property alias contentArea: column

    function isAnyElementVisible() {
        for (var i = 0; i < column.children.length; ++i)
            if (column.children[i].visible)
                return true
        return false
    }

    objectName: "groupFlickable"
    anchors.fill: parent
    clip: true
    contentHeight: column.height + 10
    interactive: column.height > height
    flickableDirection: Flickable.VerticalFlick

    Column {
        id: column
        objectName: "groupFlickable_column"
        x: 5
        y: 5
        width: page.width - 10
        spacing: 6
    }
}
