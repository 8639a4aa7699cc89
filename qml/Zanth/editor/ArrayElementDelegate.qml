import QtQuick 2.15
import Zanth 1.0
import "EditorValues.js" as EditorValues

// One element of an array property: a slider per field of a map, or one for a plain number. A click
// selects the element.
Rectangle {
    id: element

    property var list
    property var modelData
    property var currentModelData
    property bool defaultValueIsSet: false
    property int index: 0
    property var elementsMetaData
    // The element's value as edited; a new object on every change, so the change is noticed.
    property var writeModel
    property bool __ready: false

    function __isMap(value) {
        return value !== null && typeof value === "object"
    }

    // The fields shown: a map's keys in order, or "" for a plain number.
    function __keys(value) {
        return __isMap(value) ? Object.keys(value) : [""]
    }

    function __field(value, key) {
        return key === "" ? value : value[key]
    }

    function fieldChanged(key, value) {
        if (!__ready)
            return
        if (key === "") {
            writeModel = value
        } else {
            var next = {}
            for (var k in writeModel)
                next[k] = writeModel[k]
            next[key] = value
            writeModel = next
        }
    }

    function __show(data, asDefault) {
        var keys = __keys(data)
        for (var i = 0; i < blocks.children.length && i < keys.length; ++i) {
            var block = blocks.children[i]
            var v = Number(__field(data, keys[i]))
            if (asDefault)
                block.slider.defaultValue = v
            block.slider.value = v
            block.showValue(v)
        }
    }

    width: 100
    height: blocks.y + blocks.height + 4
    color: "blue"
    radius: 3

    onWriteModelChanged: {
        if (__ready && list)
            list.writeData = true
    }

    onCurrentModelDataChanged: {
        if (currentModelData === undefined)
            return
        __ready = false
        writeModel = currentModelData
        __show(currentModelData, false)
        __ready = true
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            if (element.list)
                element.list.select(element.index)
        }
    }

    Text {
        id: title
        x: 4; y: 2
        text: "Item " + element.index
        color: "white"
        font.pixelSize: 10
    }
    Rectangle {
        id: rule
        x: 4; y: title.y + title.height + 1
        width: element.width - 8; height: 2
        color: "grey"
    }

    Column {
        id: blocks
        x: 4; y: rule.y + rule.height + 2
        width: element.width - 8
        spacing: 2
    }

    Component {
        id: blockComponent
        Column {
            id: block
            property string key
            property string name: key === "" ? "value" : key
            property var meta: ({})
            property alias slider: slider
            property alias labelText: label.text
            function showValue(v) {
                label.text = (meta.label ? meta.label : name) + ": " + Number(v).toFixed(EditorValues.decimals(slider.stepSize))
            }
            width: parent ? parent.width : 100
            Text {
                id: label
                width: block.width
                color: block.meta.color ? block.meta.color : "white"
                font.pixelSize: 10
                elide: Text.ElideRight
            }
            Slider {
                id: slider
                width: block.width
                minimumValue: block.meta.min !== undefined ? block.meta.min : 0
                maximumValue: block.meta.max !== undefined ? block.meta.max : 2000
                stepSize: block.meta.stepsize !== undefined ? block.meta.stepsize : (Number.isInteger(element.__field(element.modelData, block.key)) ? 1 : 0.1)
                inverted: !!block.meta.invert
                valueIndicatorVisible: block.meta.indicator !== undefined ? !!block.meta.indicator : true
                useResetButton: block.meta.useResetButton !== undefined ? !!block.meta.useResetButton : true
                onValueChanged: {
                    if (!element.__ready)
                        return
                    block.showValue(value)
                    element.fieldChanged(block.key, value)
                }
            }
        }
    }

    Component.onCompleted: {
        var data = modelData
        writeModel = data
        var keys = __keys(data)
        var metas = elementsMetaData && elementsMetaData.length !== undefined ? elementsMetaData : []
        for (var i = 0; i < keys.length; ++i)
            blockComponent.createObject(blocks, { "key": keys[i], "meta": metas[i] ? metas[i] : {} })
        __show(data, defaultValueIsSet)
        __ready = true
    }
}
