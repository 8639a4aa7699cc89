#include "support/ZTGLStack.h"

#include <GL/gl.h>

#include "ZTMacros.h"

namespace zanth2d {

std::stack<float*> ZTGLStack::m_transformStack;
int ZTGLStack::m_depths = 0;
int ZTGLStack::m_allocated = 0;
int ZTGLStack::m_glStackSize = 0;
std::queue<float*> ZTGLStack::m_freeMatrix;

void ZTGLStack::createStack()
{
    GLint depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    m_glStackSize = depth > 0 ? depth - 1 : 0;
}

void ZTGLStack::pushMatrix()
{
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
    --m_depths;
    if (m_depths <= m_glStackSize - 1) {
        glPopMatrix();
        return;
    }
    ZTAssert(!m_transformStack.empty(), "!m_transformStack.empty()");
    float* matrix = m_transformStack.top();
    m_transformStack.pop();
    glLoadMatrixf(matrix);
    m_freeMatrix.push(matrix);
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
