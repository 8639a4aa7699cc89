// Relative sound URLs are written by the component's user: Qt 6 no longer resolves a url property where
// it is assigned, so the component resolves it against the folder of the file its owner comes from.
function resolve(url, owner) {
    var text = url.toString()
    if (text === "" || text.indexOf(":") >= 0 || text.charAt(0) === "/" || typeof fileUtils === "undefined")
        return url
    return fileUtils.getPathUrl(text, owner)
}
