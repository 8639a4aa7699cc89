import QtQuick 2.15

// One page of the editor: a scrollable column of widgets.
Item {
    id: page

    property string groupName
    property int elementCount: 0
    property bool external: false
    property alias contentArea: column

    // The placeholder is never visible, so only the widgets count.
    function isAnyElementVisible() {
        for (var i = 0; i < column.children.length; ++i)
            if (column.children[i].visible)
                return true
        return false
    }

    objectName: "groupFlickable"
    anchors.fill: parent

    Flickable {
        id: flickable

        objectName: "groupFlickable_flickable"
        width: page.width
        height: Math.min(page.height, contentHeight)
        clip: true
        contentHeight: column.height + 10
        interactive: contentHeight > page.height
        flickableDirection: Flickable.VerticalFlick

        Column {
            id: column

            objectName: "groupFlickable_column"
            x: 5
            y: 5
            width: page.width - 10
            spacing: 6

            // Something to mirror from the start: widgets added later hang below the column's own node.
            Rectangle {
                objectName: "groupFlickable_columnRectangle"
                width: 0
                height: 0
                visible: false
            }
        }
    }
}
