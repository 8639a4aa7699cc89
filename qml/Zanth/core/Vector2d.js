// A 2D vector. The Local forms change the vector and return it; the others return a new vector.

function Vector2d(x, y) {
    if (x !== undefined && y === undefined && typeof x === "object") {
        this.x = parseFloat(x.x)
        this.y = parseFloat(x.y)
    } else {
        this.x = x === undefined ? 0 : parseFloat(x)
        this.y = y === undefined ? 0 : parseFloat(y)
    }
}

Vector2d.prototype.set = function(x, y) { this.x = parseFloat(x); this.y = parseFloat(y); return this }
Vector2d.prototype.clone = function() { return new Vector2d(this.x, this.y) }
Vector2d.prototype.addLocal = function(v) { this.x += v.x; this.y += v.y; return this }
Vector2d.prototype.add = function(v) { return this.clone().addLocal(v) }
Vector2d.prototype.subtractLocal = function(v) { this.x -= v.x; this.y -= v.y; return this }
Vector2d.prototype.subtract = function(v) { return this.clone().subtractLocal(v) }
Vector2d.prototype.multiplyLocal = function(n) { this.x *= n; this.y *= n; return this }
Vector2d.prototype.multiply = function(n) { return this.clone().multiplyLocal(n) }
Vector2d.prototype.divideLocal = function(n) { this.x /= n; this.y /= n; return this }
Vector2d.prototype.divide = function(n) { return this.clone().divideLocal(n) }
Vector2d.prototype.lengthSquared = function() { return this.x * this.x + this.y * this.y }
Vector2d.prototype.length = function() { return Math.sqrt(this.lengthSquared()) }
Vector2d.prototype.dotProduct = function(v) { return this.x * v.x + this.y * v.y }
// A zero vector stays zero.
Vector2d.prototype.normalizeLocal = function() {
    var length = this.length()
    return length > 0 ? this.divideLocal(length) : this
}
Vector2d.prototype.normalize = function() { return this.clone().normalizeLocal() }
Vector2d.add = function(a, b) { return new Vector2d(a.x + b.x, a.y + b.y) }
Vector2d.subtract = function(a, b) { return new Vector2d(a.x - b.x, a.y - b.y) }
