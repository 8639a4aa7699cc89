#include <gtest/gtest.h>

#include <GL/gl.h>

#include "GLTestContext.h"
#include "support/ZTGLStateCache.h"

using namespace zanth2d;

namespace {

GLint boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint blendSource()
{
    GLint factor = 0;
    glGetIntegerv(GL_BLEND_SRC, &factor);
    return factor;
}

class GLStateCacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        glGenTextures(2, m_names);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        ZTGLStateCache::forget();
        ZTGLStateCache::resetCounters();
    }
    void TearDown() override
    {
        glDeleteTextures(2, m_names);
        ZTGLStateCache::forget();
    }

    GLTestContext m_context;
    GLuint m_names[2] = {};
};

} // namespace

TEST_F(GLStateCacheTest, aCallThatChangesNothingIsSkippedUntilTheCacheForgets)
{
    ZTGLStateCache::bindTexture2D(m_names[0]);
    ZTGLStateCache::bindTexture2D(m_names[0]);
    ZTGLStateCache::blendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    ZTGLStateCache::setTexturing(true);
    EXPECT_EQ(ZTGLStateCache::getCallsMade(), 1u);
    EXPECT_EQ(ZTGLStateCache::getCallsSkipped(), 3u);

    // Someone else binds with GL and says so: the cache's next bind must reach GL.
    glBindTexture(GL_TEXTURE_2D, m_names[1]);
    ZTGLStateCache::forget();
    ZTGLStateCache::bindTexture2D(m_names[0]);
    EXPECT_EQ(boundTexture(), GLint(m_names[0]));
}

TEST_F(GLStateCacheTest, changesReachGLAndDefaultsComeBack)
{
    ZTGLStateCache::blendFunc(GL_SRC_ALPHA, GL_ONE);
    ZTGLStateCache::setTexturing(false);
    ZTGLStateCache::setBlending(false);
    EXPECT_EQ(blendSource(), GL_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    ZTGLStateCache::restoreDefaults();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(blendSource(), GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(GLStateCacheTest, deletingTheBoundTextureLeavesNoneBoundAndTheNameIsBoundAgainWhenAsked)
{
    ZTGLStateCache::bindTexture2D(m_names[0]);
    ZTGLStateCache::deleteTexture2D(m_names[0]);
    EXPECT_EQ(boundTexture(), 0);
    // GL may hand the name out again at once (binding an unused name makes it anew): not skipped.
    ZTGLStateCache::bindTexture2D(m_names[0]);
    EXPECT_EQ(boundTexture(), GLint(m_names[0]));
}
