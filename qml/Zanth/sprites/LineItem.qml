import QtQuick 2.15
import Zanth 1.0
import "../core/Vector2d.js" as V

// A thick polyline through points, drawn as one filled polygon. Corners are not mitred; straight runs
// along an axis become one segment.
PolygonItem {
    id: line

    property var points: []
    property int lineWidth: 1
    property var __prevx: 0
    property var __prevy: 0

    function __updateLine() {
        var front = []
        var back = []
        var lastPoint = null
        var lastPointIndex = 0
        var count = points ? points.length : 0
        for (var i = 0; count >= 2 && i <= count - 2; ++i) {
            var start = points[i]
            var end = points[i + 1]
            var j
            if (lastPoint && lastPoint.x === start.x && start.x === end.x) {
                for (j = i; j <= count - 2 && points[j].x === start.x && points[j + 1].x === start.x; ++j) {
                    end = points[j + 1]
                    lastPointIndex = j
                }
            } else if (lastPoint && lastPoint.y === start.y && start.y === end.y) {
                for (j = i; j <= count - 2 && points[j].y === start.y && points[j + 1].y === start.y; ++j) {
                    end = points[j + 1]
                    lastPointIndex = j
                }
            } else {
                lastPoint = start
            }
            var direction = V.Vector2d.subtract(end, start)
            var n = new V.Vector2d(-direction.y, direction.x).normalize()
            var o = n.multiply(lineWidth / 2)
            if (lastPointIndex === 0) {
                front.push(V.Vector2d.add(start, o))
                back.push(V.Vector2d.subtract(start, o))
            } else {
                i = lastPointIndex
                lastPoint = null
                lastPointIndex = 0
            }
            front.push(V.Vector2d.add(end, o))
            back.push(V.Vector2d.subtract(end, o))
        }
        vertices = front.concat(back.reverse()).map(function (p) { return Qt.point(p.x, p.y) })
    }

    fill: true
    close: true
    transformOrigin: Item.TopLeft
    onPointsChanged: __updateLine()
    onLineWidthChanged: __updateLine()
    Component.onCompleted: __updateLine()
}
