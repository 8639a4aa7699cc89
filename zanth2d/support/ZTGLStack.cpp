#include "support/ZTGLStack.h"

#include <GL/gl.h>

#include "ZTMacros.h"
#include "support/ZTTransformUtils.h"

namespace zanth2d {

std::stack<float*> ZTGLStack::m_transformStack;
int ZTGLStack::m_depths = 0;
int ZTGLStack::m_allocated = 0;
int ZTGLStack::m_glStackSize = 0;
std::queue<float*> ZTGLStack::m_freeMatrix;
bool ZTGLStack::m_bOnCpu = false;
bool ZTGLStack::m_bGLStale = false;
std::vector<ZTGLStack::Level> ZTGLStack::m_levels;
ZTGLStack::Matrix ZTGLStack::m_glMatrix = {};
bool ZTGLStack::m_bGLKnown = false;
unsigned ZTGLStack::m_uGLChanges = 0;

namespace {

// Deep enough for the usual tree: opening a level then never moves the others.
constexpr size_t kLevelsReserved = 64;

} // namespace

void ZTGLStack::glMatrixIs(const Matrix& matrix)
{
    m_glMatrix = matrix;
    m_bGLKnown = true;
    ++m_uGLChanges;
}

void ZTGLStack::createStack()
{
    GLint depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    m_glStackSize = depth > 0 ? depth - 1 : 0;
}

void ZTGLStack::pushMatrix()
{
    if (m_bOnCpu) {
        syncModelView();
        Level& level = m_levels.emplace_back();
        level.kind = Saved::HandedToGL;
        level.glDepth = m_depths + 1;
        level.glChanges = m_uGLChanges;
        level.glStale = false;
        m_bOnCpu = false;
    }
    ++m_depths;
    if (m_depths <= m_glStackSize) {
        glPushMatrix();
        return;
    }
    if (m_depths - m_glStackSize > m_allocated) {
        m_freeMatrix.push(new float[16]);
        ++m_allocated;
    }
    float* matrix = m_freeMatrix.front();
    m_freeMatrix.pop();
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    m_transformStack.push(matrix);
}

void ZTGLStack::popMatrix()
{
    const int depth = m_depths--;
    if (m_depths <= m_glStackSize - 1) {
        glPopMatrix();
    } else {
        ZTAssert(!m_transformStack.empty(), "!m_transformStack.empty()");
        float* matrix = m_transformStack.top();
        m_transformStack.pop();
        glLoadMatrixf(matrix);
        m_freeMatrix.push(matrix);
    }
    if (!m_levels.empty() && m_levels.back().kind == Saved::HandedToGL && m_levels.back().glDepth == depth) {
        // GL holds again what it was given at the push, the matrix of the level below.
        m_levels.pop_back();
        m_bOnCpu = true;
        m_bGLStale = false;
        glMatrixIs(m_levels.back().matrix);
    }
}

void ZTGLStack::saveModelView()
{
    if (m_levels.capacity() < kLevelsReserved) {
        m_levels.reserve(kLevelsReserved);
    }
    if (m_bOnCpu) {
        m_levels.push_back(Level{m_levels.back().matrix, Saved::Nested, 0, m_uGLChanges, m_bGLStale});
        return;
    }
    Matrix read;
    glGetFloatv(GL_MODELVIEW_MATRIX, read.data());
    glMatrixIs(read);
    m_levels.push_back(Level{read, Saved::ReadFromGL, 0, m_uGLChanges, false});
    m_levels.push_back(Level{read, Saved::Outermost, 0, m_uGLChanges, false});
    m_bOnCpu = true;
    m_bGLStale = false;
}

void ZTGLStack::saveModelViewTimes(const ZTAffineTransform& transform, float z)
{
    if (!m_bOnCpu) {
        saveModelView();
        multModelView(transform, z);
        return;
    }
    const size_t below = m_levels.size() - 1;
    Level& level = m_levels.emplace_back();
    level.kind = Saved::Nested;
    level.glDepth = 0;
    level.glChanges = m_uGLChanges;
    level.glStale = m_bGLStale;
    multiply(m_levels[below].matrix.data(), level.matrix.data(), transform.a, transform.b, transform.c,
             transform.d, transform.tx, transform.ty, z);
    m_bGLStale = true;
}

void ZTGLStack::restoreModelView()
{
    ZTAssert(!m_levels.empty() &&
                 (m_levels.back().kind == Saved::Nested || m_levels.back().kind == Saved::Outermost),
             "unbalanced restoreModelView");
    const Level& top = m_levels.back();
    if (top.kind == Saved::Outermost) {
        const Matrix& read = m_levels[m_levels.size() - 2].matrix;
        // GL holds the current matrix unless stale; either may differ from the one it had at the save.
        if (m_bGLStale || top.matrix != read) {
            glLoadMatrixf(read.data());
        }
        m_levels.pop_back();
        m_levels.pop_back();
        m_bOnCpu = false;
        m_bGLStale = false;
        return;
    }
    const unsigned glChanges = top.glChanges;
    const bool glStale = top.glStale;
    m_levels.pop_back();
    // Unless GL's matrix changed within the visit, it is what it was at the save.
    m_bGLStale = glChanges == m_uGLChanges ? glStale : !m_bGLKnown || m_glMatrix != m_levels.back().matrix;
}

void ZTGLStack::multModelView(const float* affine, float z)
{
    if (!m_bOnCpu) {
        glMultMatrixf(affine);
        if (z != 0.0f) {
            glTranslatef(0.0f, 0.0f, z);
        }
        return;
    }
    Matrix& top = m_levels.back().matrix;
    const Matrix from = top;
    multiply(from.data(), top.data(), affine[0], affine[1], affine[4], affine[5], affine[12], affine[13], z);
    m_bGLStale = true;
}

void ZTGLStack::multModelView(const ZTAffineTransform& transform, float z)
{
    if (!m_bOnCpu) {
        float affine[16];
        CGAffineToGL(&transform, affine);
        multModelView(affine, z);
        return;
    }
    Matrix& top = m_levels.back().matrix;
    const Matrix from = top;
    multiply(from.data(), top.data(), transform.a, transform.b, transform.c, transform.d, transform.tx,
             transform.ty, z);
    m_bGLStale = true;
}

void ZTGLStack::multiply(const float* __restrict from, float* __restrict to, float a, float b, float c,
                         float d, float tx, float ty, float z)
{
    for (int row = 0; row < 4; ++row) {
        const float m0 = from[row], m1 = from[4 + row], m2 = from[8 + row], m3 = from[12 + row];
        to[row] = m0 * a + m1 * b;
        to[4 + row] = m0 * c + m1 * d;
        to[8 + row] = m2;
        to[12 + row] = m0 * tx + m1 * ty + m3;
    }
    if (z != 0.0f) {
        for (int row = 0; row < 4; ++row) {
            to[12 + row] = from[8 + row] * z + to[12 + row];
        }
    }
}

void ZTGLStack::syncModelView()
{
    if (m_bOnCpu && m_bGLStale) {
        glLoadMatrixf(m_levels.back().matrix.data());
        glMatrixIs(m_levels.back().matrix);
        m_bGLStale = false;
    }
}

void ZTGLStack::releaseStack()
{
    while (!m_freeMatrix.empty()) {
        delete[] m_freeMatrix.front();
        m_freeMatrix.pop();
        --m_allocated;
    }
}

} // namespace zanth2d
