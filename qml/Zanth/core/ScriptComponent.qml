import QtQuick 2.15
import "../scripts/ScriptComponentContext.js" as ScriptContext

// An entity part whose behaviour is a script file: the file's onInitialize() runs once after it was
// included at completion, and its onUpdate() on every update().
ComponentBase {
    id: scriptComponent

    property url javaScriptSourceUrl: ""
    // The script context: the included file's functions and variables are its members.
    property var scriptFile
    property bool __completed: false
    property bool __updatable: false

    function update() {
        if (__updatable)
            ScriptContext.callFunction("onUpdate")
    }

    function script() {
        return scriptFile
    }

    function __include() {
        if (!ScriptContext.include(Qt.resolvedUrl(javaScriptSourceUrl, scriptComponent))) {
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
        scriptFile = ScriptContext
        if (String(javaScriptSourceUrl) === "") {
            console.log("ASSERT! no file name specified for ScriptComponent " + (parent ? parent.objectName : ""))
            return
        }
        if (!__include())
            return
        if (ScriptContext.hasFunction("onInitialize"))
            ScriptContext.callFunction("onInitialize")
        __updatable = ScriptContext.hasFunction("onUpdate")
    }
}
