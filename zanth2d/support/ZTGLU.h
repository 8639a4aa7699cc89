#pragma once

namespace zanth2d {

// Replacements for the two GLU calls the director needs. They live in this namespace because libGLU's
// global functions carry the same names.

// Multiplies a perspective frustum onto the current matrix; fovy in degrees.
void gluPerspective(float fovy, float aspect, float zNear, float zFar);
// Multiplies a viewing transform onto the current matrix. An eye equal to the centre, or an up vector
// along the line of sight, leaves the degenerate axes zero instead of dividing by zero.
void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ);

} // namespace zanth2d
