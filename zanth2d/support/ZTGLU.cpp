#include "support/ZTGLU.h"

#include <GL/gl.h>

#include <cmath>

namespace zanth2d {

namespace {

struct Vector3
{
    float x, y, z;
};

Vector3 cross(const Vector3& u, const Vector3& v)
{
    return Vector3{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

void normalizeUnlessZero(Vector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length != 0.0f) {
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
}

} // namespace

void gluPerspective(float fovy, float aspect, float zNear, float zFar)
{
    const float ymax = zNear * std::tan(fovy * 3.1415927f / 360.0f);
    const float xmax = ymax * aspect;
    glFrustum(-xmax, xmax, -ymax, ymax, zNear, zFar);
}

void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ)
{
    Vector3 z{eyeX - centerX, eyeY - centerY, eyeZ - centerZ};
    normalizeUnlessZero(z);
    Vector3 x = cross(Vector3{upX, upY, upZ}, z);
    Vector3 y = cross(z, x);
    normalizeUnlessZero(x);
    normalizeUnlessZero(y);

    const GLfloat m[16] = {
        x.x,  y.x,  z.x,  0.0f, //
        x.y,  y.y,  z.y,  0.0f, //
        x.z,  y.z,  z.z,  0.0f, //
        0.0f, 0.0f, 0.0f, 1.0f,
    };
    glMultMatrixf(m);
    glTranslatef(-eyeX, -eyeY, -eyeZ);
}

} // namespace zanth2d
