import QtQuick 2.15
import Zanth 1.0

// Picks the file for the current content scale: the file name with the game window's best image suffix
// in place of any known suffix, and the factor that scales its larger texture back to the logical size.
// The suffix is chosen once; a later file name gets the same suffix.
ContentScaleFactorObject {
    id: chooser

    property var scaleImageSuffixList: typeof rootGameWindow !== "undefined" && rootGameWindow
                                       ? rootGameWindow.__scaleImageSuffixList : []
    property real internalScaleFactorForMultiResImages: 1
    property url filename
    property string modifiedFilename
    property string __chosenSuffix

    function modifyFilenameBasedOnSceneScale(name) {
        if (__chosenSuffix === "") {
            if (typeof contentScaleFactorValid === "undefined" || !contentScaleFactorValid)
                return
            if (!scaleImageSuffixList || scaleImageSuffixList.length === 0)
                return
        }
        var text = String(name)
        if (text === "" && __chosenSuffix !== "") {
            modifiedFilename = ""
            return
        }
        if (text === "") {
            console.log("ContentScaleFileChooser: filename is undefined")
            return
        }
        var dot = text.lastIndexOf(".")
        var slash = text.lastIndexOf("/")
        var stem = dot > slash ? text.substring(0, dot) : text
        var ending = dot > slash ? text.substring(dot) : ""
        var known = rootGameWindow.contentScalingFileSuffixes
        for (var suffix in known) {
            var at = stem.lastIndexOf(suffix)
            if (at > slash) {
                stem = stem.substring(0, at)
                break
            }
        }
        if (__chosenSuffix === "") {
            var chosen = scaleImageSuffixList[0]
            internalScaleFactorForMultiResImages = 1 / known[chosen].internalContentScaleFactor
            __chosenSuffix = chosen
        }
        modifiedFilename = stem + __chosenSuffix + ending
    }

    onFilenameChanged: modifyFilenameBasedOnSceneScale(filename)
    onContentScaleFactorBecameValid: modifyFilenameBasedOnSceneScale(filename)
    onScaleImageSuffixListChanged: {
        if (String(filename) !== "" && typeof contentScaleFactorValid !== "undefined" && contentScaleFactorValid)
            modifyFilenameBasedOnSceneScale(filename)
    }
}
