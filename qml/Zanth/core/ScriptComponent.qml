import QtQuick 2.15

// An entity part whose behaviour is a script file: the file's onInitialize() runs once after it was
// included at completion, and its onUpdate() on every update().
ComponentBase {
    id: scriptComponent

    property url javaScriptSourceUrl: ""
    property var scriptFile: scriptContext
    property bool __completed: false
    property bool __updatable: false

    function update() {
        if (__updatable && typeof scriptContext.onUpdate === "function")
            scriptContext.onUpdate()
    }

    function script() {
        return scriptContext
    }

    function __include() {
        var result = Qt.include(javaScriptSourceUrl)
        if (result.status !== result.OK) {
            console.log("ERROR AT READING SOURCE FILE, NOT FOUND!")
            return false
        }
        return true
    }

    onJavaScriptSourceUrlChanged: {
        if (__completed)
            __include()
    }

    Component.onCompleted: {
        __completed = true
        if (String(javaScriptSourceUrl) === "") {
            console.log("ASSERT! no file name specified for ScriptComponent " + (parent ? parent.objectName : ""))
            return
        }
        if (!__include())
            return
        if (typeof onInitialize === "function")
            onInitialize()
        __updatable = typeof onUpdate === "function"
    }

    QtObject {
        id: scriptContext
    }
}
