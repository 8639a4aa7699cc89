#pragma once

#include <array>
#include <queue>
#include <stack>
#include <vector>

namespace zanth2d {

// The model-view matrix stack of the scene graph: glPushMatrix/glPopMatrix while the nesting fits the
// driver's stack, and saved copies in memory beyond it, so deep node trees never overflow GL.
// Engine thread only, with the GL context current; every push is paired with a pop.
//
// Node visits keep the matrix on the CPU instead (`saveModelView`, `multModelView`, `restoreModelView`):
// a visit that is not inside another reads GL's matrix once, its nodes multiply on the CPU, and GL's
// matrix is loaded only when something draws with it (`syncModelView`, called by the renderer before any
// direct draw) or when the outermost visit ends. `pushMatrix` hands the matrix back to GL until the
// matching `popMatrix`, so code between them may change GL's matrix itself as before.
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

    // Saves the model-view matrix for a node visit; the outermost save reads it from GL.
    static void saveModelView();
    // Back to the matrix of the matching save; the outermost restore leaves it in GL.
    static void restoreModelView();
    // Multiplies a column-major affine matrix (as CGAffineToGL makes) and a translation along z onto the
    // model-view matrix: on the CPU inside a visit, with GL calls outside.
    static void multModelView(const float* affine, float z);
    // The matrix inside a visit, null outside one (GL's is current then).
    static const float* modelView() { return m_bOnCpu ? m_modelView.data() : nullptr; }
    // Inside a visit, loads the matrix into GL if GL's differs.
    static void syncModelView();
    // GL's matrix was changed behind the stack's back (a draw that loaded its own): the next sync loads.
    static void invalidateGLModelView() { m_bGLStale = m_bOnCpu; }

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

    using Matrix = std::array<float, 16>;
    enum class Saved
    {
        // A visit's save inside another visit.
        Nested,
        // The save that read the matrix from GL.
        Outermost,
        // pushMatrix handed the matrix to GL; `glDepth` is the push's depth.
        HandedToGL,
    };
    struct SavedMatrix
    {
        Matrix matrix;
        Saved kind;
        int glDepth;
    };
    static bool m_bOnCpu;
    static bool m_bGLStale;
    static Matrix m_modelView;
    static std::vector<SavedMatrix> m_saved;
};

} // namespace zanth2d
