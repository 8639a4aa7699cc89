#include "support/ZTTransformUtils.h"

namespace zanth2d {

void CGAffineToGL(const ZTAffineTransform* t, float* m)
{
    for (int i = 0; i < 16; ++i) {
        m[i] = 0.0f;
    }
    m[0] = t->a;
    m[1] = t->b;
    m[4] = t->c;
    m[5] = t->d;
    m[12] = t->tx;
    m[13] = t->ty;
    m[10] = 1.0f;
    m[15] = 1.0f;
}

void GLToCGAffine(const float* m, ZTAffineTransform* t)
{
    t->a = m[0];
    t->b = m[1];
    t->c = m[4];
    t->d = m[5];
    t->tx = m[12];
    t->ty = m[13];
}

} // namespace zanth2d
