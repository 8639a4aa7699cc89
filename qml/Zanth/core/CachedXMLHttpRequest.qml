import QtQuick 2.15

// Reads a JSON file once for all instances: results are shared through the game window's
// globalProperties, whose two maps are replaced as a whole so that every change is signalled.
Item {
    id: request

    property var result
    property string __filename: ""

    function parseFile(filename) {
        __filename = filename
        __lookUp()
    }

    function __shared() {
        return typeof rootGameWindow !== "undefined" && rootGameWindow ? rootGameWindow.globalProperties : null
    }

    function __lookUp() {
        var shared = __shared()
        if (__filename === "" || result !== undefined)
            return
        if (shared && shared.cachedFileReadResults[__filename] !== undefined) {
            result = shared.cachedFileReadResults[__filename].result
            return
        }
        if (shared && shared.currentlyReadFiles[__filename] !== undefined)
            return
        __setReading(true)
        var filename = __filename
        var xhr = new XMLHttpRequest()
        xhr.onreadystatechange = function() {
            if (xhr.readyState !== XMLHttpRequest.DONE)
                return
            var parsed
            try {
                parsed = JSON.parse(xhr.responseText)
            } catch (error) {
                console.log("ERROR: CachedXMLHttpRequest: the file", filename, "is no valid JSON:", error)
            }
            __setReading(false)
            if (parsed === undefined)
                return
            result = parsed
            var target = __shared()
            if (target) {
                var cache = Object.assign({}, target.cachedFileReadResults)
                cache[filename] = { "filename": filename, "result": parsed }
                target.cachedFileReadResults = cache
            }
        }
        xhr.open("GET", filename)
        xhr.send()
    }

    function __setReading(reading) {
        var shared = __shared()
        if (!shared)
            return
        var files = Object.assign({}, shared.currentlyReadFiles)
        if (reading)
            files[__filename] = {}
        else
            delete files[__filename]
        shared.currentlyReadFiles = files
    }

    Connections {
        target: request.__shared()
        function onCachedFileReadResultsChanged() { request.__lookUp() }
    }
}
