// Value helpers of the editor and its widgets (no library marker: they read the importer's `system`).

// A value of its own: a colour or a point read from a property stays tied to its object otherwise, and
// a list or map would be shared.
function copy(value) {
    if (value === null || typeof value !== "object")
        return value
    var type = system.typeOf(value)
    if (type === "color")
        return Qt.rgba(value.r, value.g, value.b, value.a)
    if (type === "point")
        return Qt.point(value.x, value.y)
    if (type === "url")
        return String(value)
    return JSON.parse(JSON.stringify(value))
}

// Whether two values read the same: colours, points and URLs by their text, lists by their JSON.
function same(a, b) {
    if (a === b)
        return true
    if (a === null || b === null || a === undefined || b === undefined)
        return false
    if (Array.isArray(a) || Array.isArray(b))
        return JSON.stringify(a) === JSON.stringify(b)
    return String(a) === String(b)
}

// How many decimals a step has (0.25 has two).
function decimals(step) {
    var text = String(step)
    var dot = text.indexOf(".")
    return dot < 0 ? 0 : text.length - dot - 1
}
