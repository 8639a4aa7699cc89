#pragma once

#include <queue>
#include <stack>

namespace zanth2d {

// The model-view matrix stack of the scene graph: glPushMatrix/glPopMatrix while the nesting fits the
// driver's stack, and saved copies in memory beyond it, so deep node trees never overflow GL.
// Engine thread only, with the GL context current; every push is paired with a pop.
class ZTGLStack
{
public:
    ZTGLStack() = delete;

    // Reads the driver's model-view stack depth, keeping one level free for the driver. Until this
    // runs every level is kept in memory.
    static void createStack();
    static void pushMatrix();
    static void popMatrix();
    // Frees the buffers not in use; the stack may be created and used again afterwards.
    static void releaseStack();

    static int getDepth() { return m_depths; }
    static int getAllocated() { return m_allocated; }
    static int getGLStackSize() { return m_glStackSize; }
    // Saved matrices of the memory levels, the deepest on top.
    static const std::stack<float*>& getTransformStack() { return m_transformStack; }
    // Buffers waiting for reuse, next one in front.
    static const std::queue<float*>& getFreeMatrices() { return m_freeMatrix; }

private:
    static std::stack<float*> m_transformStack;
    static int m_depths;
    static int m_allocated;
    static int m_glStackSize;
    static std::queue<float*> m_freeMatrix;
};

} // namespace zanth2d
