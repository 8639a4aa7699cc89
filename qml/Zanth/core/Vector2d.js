.pragma library

// Two-dimensional vector helpers on plain {x, y} objects; no function changes its arguments.

function add(a, b) {
    return { x: a.x + b.x, y: a.y + b.y }
}

function subtract(a, b) {
    return { x: a.x - b.x, y: a.y - b.y }
}

function multiply(a, factor) {
    return { x: a.x * factor, y: a.y * factor }
}

function length(a) {
    return Math.sqrt(a.x * a.x + a.y * a.y)
}

// The zero vector stays zero instead of becoming NaN.
function normalize(a) {
    var l = length(a)
    return l > 0 ? { x: a.x / l, y: a.y / l } : { x: 0, y: 0 }
}
