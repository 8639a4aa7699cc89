import QtQuick 2.15

// The list editor of an array property: "+" adds an element (a copy of the selected one, else of the
// list's first), the arrows move the selected element up and down, "-" removes it. Elements are placed
// by hand below one another, because they are reordered.
Column {
    id: content

    property var owner
    property var editor
    property var elementsMetaData
    property var model
    property bool defaultValueIsSet: false
    property bool writeData: false
    property int selectedItem: -1
    property var elements: []
    readonly property int elementSpacing: 6

    function __copy(value) {
        return value !== null && typeof value === "object" ? JSON.parse(JSON.stringify(value)) : value
    }

    function __layout() {
        var y = 0
        for (var i = 0; i < elements.length; ++i) {
            elements[i].index = i
            elements[i].y = y
            y += elements[i].height + elementSpacing
        }
        list.height = Math.max(0, y - elementSpacing)
    }

    function __colour() {
        for (var i = 0; i < elements.length; ++i)
            elements[i].color = (i === selectedItem) ? "red" : "blue"
    }

    function __append(data) {
        var component = Qt.createComponent("ArrayElementDelegate.qml")
        if (component.status !== Component.Ready) {
            console.log("[ImageViewer] ERROR: loading repeater object failed:" + component.errorString())
            return null
        }
        var element = component.createObject(list, {
            "width": list.width, "list": content, "modelData": __copy(data),
            "defaultValueIsSet": defaultValueIsSet, "index": elements.length,
            "elementsMetaData": elementsMetaData
        })
        if (!element) {
            console.log("[ImageViewer] ERROR: creating repeater object failed!")
            return null
        }
        element.heightChanged.connect(__layout)
        var all = elements
        all.push(element)
        elements = all
        // Elements of a list not mirrored yet are mirrored with it.
        if (editor && typeof sceneGraphWrapper !== "undefined" && sceneGraphWrapper.hasSceneGraphNode(list))
            editor.__mirror(list)
        return element
    }

    // The list's current array: every element's value, in order.
    function collect() {
        return elements.map(function(e) { return content.__copy(e.writeModel) })
    }

    function select(n) {
        selectedItem = (n >= 0 && n < elements.length) ? n : -1
        __colour()
        writeData = true
    }

    function add() {
        var data
        if (selectedItem >= 0)
            data = elements[selectedItem].writeModel
        else if (model && model.length > 0)
            data = model[0]
        else
            data = 0
        __append(data)
        if (selectedItem < 0 && elements.length === 1)
            selectedItem = 0
        __layout()
        __colour()
        writeData = true
    }

    function removeSelected() {
        if (selectedItem < 0 || selectedItem >= elements.length)
            return
        var all = elements
        all.splice(selectedItem, 1)[0].destroy()
        elements = all
        if (elements.length === 0)
            selectedItem = -1
        else if (selectedItem >= 1)
            selectedItem -= 1
        __layout()
        __colour()
        writeData = true
    }

    function removeLast() {
        if (elements.length === 0)
            return
        var all = elements
        all.pop().destroy()
        elements = all
        if (elements.length === 0 || selectedItem >= elements.length)
            selectedItem = elements.length === 0 ? -1 : elements.length - 1
        __layout()
        __colour()
    }

    function __swap(a, b) {
        if (a < 0 || b < 0 || a >= elements.length || b >= elements.length)
            return
        var all = elements
        var t = all[a]
        all[a] = all[b]
        all[b] = t
        elements = all
        selectedItem = b
        __layout()
        __colour()
        writeData = true
    }

    function moveUp() { __swap(selectedItem, selectedItem - 1) }
    function moveDown() { __swap(selectedItem, selectedItem + 1) }

    function removeAll() {
        for (var i = 0; i < elements.length; ++i)
            elements[i].destroy()
        elements = []
        selectedItem = -1
        __layout()
    }

    spacing: 4

    onModelChanged: {
        var entries = model ? model : []
        var n = 0
        for (var i = 0; i < entries.length; ++i) {
            if (!entries[i] && entries[i] !== 0)
                continue
            if (n < elements.length)
                elements[n].currentModelData = __copy(entries[i])
            else
                __append(entries[i])
            ++n
        }
        while (elements.length > n)
            removeLast()
        __layout()
        __colour()
        writeData = true
    }

    onWriteDataChanged: {
        if (!writeData)
            return
        if (owner)
            owner.modelWrite = collect()
        writeData = false
    }

    Row {
        spacing: 4
        Repeater {
            model: [
                { "name": "arrayAdd", "glyph": "+", "turn": 0 },
                { "name": "arrayUp", "glyph": "<", "turn": 90 },
                { "name": "arrayDown", "glyph": "<", "turn": -90 },
                { "name": "arrayRemove", "glyph": "-", "turn": 0 }
            ]
            Rectangle {
                objectName: modelData.name
                width: 24; height: 18
                radius: 3
                color: press.pressed ? "#55555f" : "#33333d"
                border.color: "#55555f"
                Text {
                    anchors.centerIn: parent
                    text: modelData.glyph
                    rotation: modelData.turn
                    color: "white"
                    font.pixelSize: 13
                }
                MouseArea {
                    id: press
                    anchors.fill: parent
                    onClicked: {
                        if (modelData.name === "arrayAdd") content.add()
                        else if (modelData.name === "arrayUp") content.moveUp()
                        else if (modelData.name === "arrayDown") content.moveDown()
                        else content.removeSelected()
                    }
                }
            }
        }
    }

    Flickable {
        id: view
        width: content.width
        height: Math.min(200, list.height)
        clip: true
        contentHeight: list.height
        interactive: list.height > 200
        flickableDirection: Flickable.VerticalFlick

        Item {
            id: list
            width: view.width
        }
    }
}
