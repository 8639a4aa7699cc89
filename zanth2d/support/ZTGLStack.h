#pragma once

#include <array>
#include <queue>
#include <stack>
#include <vector>

#include "cocoa/ZTAffineTransform.h"

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
    // saveModelView and multModelView(transform, z) in one go.
    static void saveModelViewTimes(const ZTAffineTransform& transform, float z);
    // Back to the matrix of the matching save; the outermost restore leaves it in GL.
    static void restoreModelView();
    // Multiplies a column-major affine matrix (as CGAffineToGL makes) and a translation along z onto the
    // model-view matrix: on the CPU inside a visit, with GL calls outside.
    static void multModelView(const float* affine, float z);
    // The same for the affine transform itself.
    static void multModelView(const ZTAffineTransform& transform, float z);
    // The matrix inside a visit, null outside one (GL's is current then). A save or restore may move it.
    static const float* modelView() { return m_bOnCpu ? m_levels.back().matrix.data() : nullptr; }
    // Inside a visit, loads the matrix into GL if GL's differs.
    static void syncModelView();
    // GL's matrix was changed behind the stack's back (a draw that loaded its own): the next sync loads.
    static void invalidateGLModelView()
    {
        m_bGLStale = m_bOnCpu;
        m_bGLKnown = false;
        ++m_uGLChanges;
    }

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
    // How a level of the matrices on the CPU was opened.
    enum class Saved
    {
        // A visit's save inside another visit.
        Nested,
        // The save that read the matrix from GL; the level below holds what it read.
        Outermost,
        // What Outermost read, for its restore.
        ReadFromGL,
        // pushMatrix handed the matrix to GL; `glDepth` is the push's depth.
        HandedToGL,
    };
    struct Level
    {
        // Opened with what is known at the time: the matrix is written by its opener.
        Level() {}
        Level(const Matrix& m, Saved k, int depth, unsigned changes, bool stale)
            : matrix(m), kind(k), glDepth(depth), glChanges(changes), glStale(stale)
        {
        }

        // The model-view matrix while this level is on top.
        Matrix matrix;
        Saved kind;
        int glDepth;
        // GL's matrix when the level was opened: how many times it had changed, and whether it differed.
        unsigned glChanges;
        bool glStale;
    };
    // GL now holds m_glMatrix (when known), loaded or learnt of by the stack.
    static void glMatrixIs(const Matrix& matrix);
    // The product of from and the affine matrix with a translation along z, into to; GL's own product,
    // column by column, with the terms that are zero left out, so the sums come out bit for bit as the
    // driver's.
    static void multiply(const float* __restrict from, float* __restrict to, float a, float b, float c,
                         float d, float tx, float ty, float z);

    static bool m_bOnCpu;
    static bool m_bGLStale;
    // On the CPU the top level's matrix is the current one; a save opens a level, its restore drops it.
    static std::vector<Level> m_levels;
    // What GL's matrix is, while known, and a count of its changes: a visit that ends without one leaves GL
    // as stale as it was at the visit's save, which spares comparing matrices.
    static Matrix m_glMatrix;
    static bool m_bGLKnown;
    static unsigned m_uGLChanges;
};

} // namespace zanth2d
