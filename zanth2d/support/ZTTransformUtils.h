#pragma once

#include "cocoa/ZTAffineTransform.h"

namespace zanth2d {

// Writes t as a column-major 4 x 4 GL matrix into m (16 floats): the 2D part, z untouched, no projection.
void CGAffineToGL(const ZTAffineTransform* t, float* m);
// Reads the 2D part of a column-major 4 x 4 GL matrix m (16 floats) into t; everything else is ignored.
void GLToCGAffine(const float* m, ZTAffineTransform* t);

} // namespace zanth2d
