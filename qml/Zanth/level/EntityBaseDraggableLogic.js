.pragma library
// Grid arithmetic and obstacle count of a dragged entity. Positions are pixels in the entity's parent;
// grid units are multiples of the grid size. A grid size that is not positive counts as 1, so bad input
// never divides by 0.

function usableGridSize(gridSize) {
    return gridSize > 0 ? gridSize : 1
}

// The grid line nearest to the coordinate; halfway rounds up.
function snapped(coordinate, gridSize) {
    var size = usableGridSize(gridSize)
    var units = coordinate / size
    return Math.round(units) > Math.floor(units) ? size * (Math.floor(units) + 1) : size * Math.floor(units)
}

// Half the collider's extent, in grid units.
function halfSize(colliderSize, gridSize) {
    return colliderSize / (2 * usableGridSize(gridSize))
}

// The highest grid index the collider's centre may take in a level of this size.
function maximumIndex(levelSize, gridSize, colliderSize) {
    return levelSize / usableGridSize(gridSize) - halfSize(colliderSize, gridSize)
}

// True when the collider, snapped to the grid, would stick out of the level.
function outOfBounds(coordinate, gridSize, colliderSize, levelSize) {
    var index = Math.round(coordinate / usableGridSize(gridSize))
    return index < halfSize(colliderSize, gridSize) || index > maximumIndex(levelSize, gridSize, colliderSize)
}

// The obstacles the test body touches during one drag. Only contacts that began during the drag count,
// so the end of a contact from before the drag can't hide one that still overlaps.
function ObstacleContacts() {
    this.others = []
}

ObstacleContacts.prototype.begin = function(other) {
    this.others.push(other)
}

ObstacleContacts.prototype.end = function(other) {
    var index = this.others.indexOf(other)
    if (index >= 0)
        this.others.splice(index, 1)
}

ObstacleContacts.prototype.colliding = function() {
    return this.others.length > 0
}
