import QtQuick 2.15

// Reads a JSON file once for all instances: results are shared through the game window's
// globalProperties, whose two maps are replaced as a whole so that every change is signalled.
Item {
    id: request

    property var result
    property string __filename: ""
    // Asked for the file and has neither its result nor its failure yet.
    property bool __waiting: false
    // This instance sends the request the others wait for.
    property var __request: null

    // The file could not be read or parsed; every instance waiting for it hears this, and a later
    // parseFile tries again.
    signal readFailed(string filename)

    function parseFile(filename) {
        __filename = filename
        __waiting = result === undefined
        __lookUp()
    }

    function __shared() {
        return typeof rootGameWindow !== "undefined" && rootGameWindow ? rootGameWindow.globalProperties : null
    }

    function __fail(filename) {
        __waiting = false
        readFailed(filename)
    }

    function __lookUp() {
        var shared = __shared()
        if (!__waiting || __request)
            return
        if (shared && shared.cachedFileReadResults[__filename] !== undefined) {
            result = shared.cachedFileReadResults[__filename].result
            __waiting = false
            return
        }
        if (shared && shared.currentlyReadFiles[__filename] !== undefined)
            return
        __read(__filename)
    }

    function __read(filename) {
        __setReading(filename, true)
        var xhr = new XMLHttpRequest()
        __request = xhr
        xhr.onreadystatechange = function() {
            if (xhr.readyState !== XMLHttpRequest.DONE || request.__request !== xhr)
                return
            request.__request = null
            var parsed
            if (xhr.status >= 400) {
                console.log("ERROR: CachedXMLHttpRequest: the file", filename, "could not be read, status", xhr.status)
            } else {
                try {
                    parsed = JSON.parse(xhr.responseText)
                } catch (error) {
                    console.log("ERROR: CachedXMLHttpRequest: the file", filename, "is no valid JSON:", error)
                }
            }
            if (parsed !== undefined) {
                result = parsed
                __waiting = false
                // Cached before the reading mark goes, so that the waiters find the result.
                var target = __shared()
                if (target) {
                    var cache = Object.assign({}, target.cachedFileReadResults)
                    cache[filename] = { "filename": filename, "result": parsed }
                    target.cachedFileReadResults = cache
                }
            } else {
                __fail(filename)
            }
            __setReading(filename, false)
        }
        // A relative name is a file beside the QML that asked, not beside this library file.
        xhr.open("GET", Qt.resolvedUrl(filename, request))
        xhr.send()
    }

    function __setReading(filename, reading) {
        var shared = __shared()
        if (!shared)
            return
        var files = Object.assign({}, shared.currentlyReadFiles)
        if (reading)
            files[filename] = {}
        else
            delete files[filename]
        shared.currentlyReadFiles = files
    }

    // The reading mark went without a result: the read failed, or its reader is gone.
    function __readingEnded() {
        var shared = __shared()
        if (!__waiting || __request || !shared || shared.currentlyReadFiles[__filename] !== undefined)
            return
        if (shared.cachedFileReadResults[__filename] !== undefined)
            __lookUp()
        else
            __fail(__filename)
    }

    Component.onDestruction: {
        if (!__request)
            return
        var xhr = __request
        __request = null
        xhr.abort()
        __setReading(__filename, false)
    }

    Connections {
        target: request.__shared()
        function onCachedFileReadResultsChanged() { request.__lookUp() }
        function onCurrentlyReadFilesChanged() { request.__readingEnded() }
    }
}
