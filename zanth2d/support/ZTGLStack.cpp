#include "support/ZTGLStack.h"

#include <GL/gl.h>

#include "ZTMacros.h"

namespace zanth2d {

std::stack<float*> ZTGLStack::m_transformStack;
int ZTGLStack::m_depths = 0;
int ZTGLStack::m_allocated = 0;
int ZTGLStack::m_glStackSize = 0;
std::queue<float*> ZTGLStack::m_freeMatrix;
bool ZTGLStack::m_bOnCpu = false;
bool ZTGLStack::m_bGLStale = false;
ZTGLStack::Matrix ZTGLStack::m_modelView = {};
std::vector<ZTGLStack::SavedMatrix> ZTGLStack::m_saved;

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
        m_saved.push_back(SavedMatrix{m_modelView, Saved::HandedToGL, m_depths + 1});
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
    if (!m_saved.empty() && m_saved.back().kind == Saved::HandedToGL && m_saved.back().glDepth == depth) {
        // GL holds again what it was given at the push.
        m_modelView = m_saved.back().matrix;
        m_saved.pop_back();
        m_bOnCpu = true;
        m_bGLStale = false;
    }
}

void ZTGLStack::saveModelView()
{
    if (m_bOnCpu) {
        m_saved.push_back(SavedMatrix{m_modelView, Saved::Nested, 0});
        return;
    }
    glGetFloatv(GL_MODELVIEW_MATRIX, m_modelView.data());
    m_saved.push_back(SavedMatrix{m_modelView, Saved::Outermost, 0});
    m_bOnCpu = true;
    m_bGLStale = false;
}

void ZTGLStack::restoreModelView()
{
    ZTAssert(!m_saved.empty() && m_saved.back().kind != Saved::HandedToGL, "unbalanced restoreModelView");
    const SavedMatrix& saved = m_saved.back();
    if (saved.kind == Saved::Outermost) {
        // GL holds the current matrix unless stale; either may differ from the one it had at the save.
        if (m_bGLStale || m_modelView != saved.matrix) {
            glLoadMatrixf(saved.matrix.data());
        }
        m_bOnCpu = false;
        m_bGLStale = false;
    } else if (m_modelView != saved.matrix) {
        m_modelView = saved.matrix;
        m_bGLStale = true;
    }
    m_saved.pop_back();
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
    // GL's own product, column by column, with the terms that are zero left out: an affine matrix has
    // only a, b, c, d, tx and ty, so the sums come out bit for bit as the driver's.
    float* m = m_modelView.data();
    const float a = affine[0], b = affine[1], c = affine[4], d = affine[5], tx = affine[12], ty = affine[13];
    for (int row = 0; row < 4; ++row) {
        const float m0 = m[row], m1 = m[4 + row], m2 = m[8 + row], m3 = m[12 + row];
        m[row] = m0 * a + m1 * b;
        m[4 + row] = m0 * c + m1 * d;
        m[12 + row] = m0 * tx + m1 * ty + m3;
        if (z != 0.0f) {
            m[12 + row] = m2 * z + m[12 + row];
        }
    }
    m_bGLStale = true;
}

void ZTGLStack::syncModelView()
{
    if (m_bOnCpu && m_bGLStale) {
        glLoadMatrixf(m_modelView.data());
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
