#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// Immediate drawing with vertex arrays in the current model-view matrix and the current colour (set it
// with glColor4ub/glColor4f first). Points are in points and scaled by the director's content scale
// factor unless said otherwise. Each call leaves GL_TEXTURE_2D and the colour and texture-coordinate
// arrays enabled, as the rest of the scene graph expects.

void ztDrawPoint(const ZTPoint& point);
void ztDrawPoints(const ZTPoint* points, unsigned int numberOfPoints);
void ztDrawLine(const ZTPoint& origin, const ZTPoint& destination);
// Filled rectangle between two corners, in the coordinates given (no content scaling).
void ztDrawSolidRect(ZTPoint origin, ZTPoint destination);
// fill: the points as GL triangles (groups of three; a leftover vertex is dropped); else an outline,
// closed or open.
void ztDrawPoly(const ZTPoint* vertices, unsigned int numOfVertices, bool closePolygon, bool fill);
void ztDrawPoly(const ZTPoint* vertices, unsigned int numOfVertices, bool closePolygon);
// angle in radians; segments at least 1; drawLineToCenter adds a spoke to the centre.
void ztDrawCircle(const ZTPoint& center, float radius, float angle, unsigned int segments, bool drawLineToCenter);
void ztDrawQuadBezier(const ZTPoint& origin, const ZTPoint& control, const ZTPoint& destination,
                      unsigned int segments);
void ztDrawCubicBezier(const ZTPoint& origin, const ZTPoint& control1, const ZTPoint& control2,
                       const ZTPoint& destination, unsigned int segments);

} // namespace zanth2d
