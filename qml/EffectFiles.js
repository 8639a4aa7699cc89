.pragma library

// Rules for the names and files of the user's saved effects.

// Why the name can't be an effect file name, or "" when it can. The file must land in the effects
// folder itself, so nothing that reaches another folder or reads as part of a URL is taken.
function nameProblem(name) {
    if (name === undefined || name === null)
        return "the name is empty"
    name = String(name)
    if (name.trim() === "")
        return "the name is empty"
    if (name !== name.trim())
        return "the name starts or ends with a blank"
    if (name.indexOf("/") >= 0 || name.indexOf("\\") >= 0)
        return "the name contains a path separator"
    if (name.indexOf("..") >= 0)
        return "the name contains \"..\""
    if (name.charAt(0) === ".")
        return "the name starts with a dot"
    if (name.indexOf("#") >= 0 || name.indexOf("?") >= 0 || name.indexOf("%") >= 0)
        return "the name contains \"#\", \"?\" or \"%\""
    if (/[\x00-\x1f\x7f:*"<>|]/.test(name))
        return "the name contains a character files can't hold"
    if (name.length > 100)
        return "the name is longer than 100 characters"
    return ""
}

// The file name without its extension.
function baseName(fileName) {
    return String(fileName).replace(/^.*[\/\\]/, "").replace(/\.[^.]*$/, "")
}

// Whether the listing holds the file.
function listed(files, fileName) {
    for (var i = 0; i < files.length; ++i)
        if (baseName(files[i]) + ".json" === fileName || String(files[i]).replace(/^.*\//, "") === fileName)
            return true
    return false
}
