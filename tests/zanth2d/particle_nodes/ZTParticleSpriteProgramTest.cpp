// The point-sprite programs belong to one GL context each: a window opened after another closed, at the
// address GLFW gave the ended one, builds its own.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "particle_nodes/ZTParticleSpriteProgram.h"
#include "platform/linux/DesktopWindow.h"

using namespace zanth2d;

namespace {

// The GL name of the program, as GL sees it while the program is in use.
GLuint nameInUse(ZTParticleSpriteProgram* program)
{
    const GLfloat origin[2] = {0, 0};
    const GLfloat alongX[2] = {1, 0};
    const GLfloat alongY[2] = {0, 1};
    program->use(1, origin, alongX, alongY);
    GLint name = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &name);
    ZTParticleSpriteProgram::done();
    return static_cast<GLuint>(name);
}

} // namespace

TEST(ZTParticleSpriteProgram, aWindowOpenedAfterAnotherClosedBuildsItsOwnPlainAndMappedPrograms)
{
    {
        DesktopWindow first;
        ASSERT_TRUE(first.initWithFrame("Zanth first programs", 64, 64));
        ASSERT_NE(ZTParticleSpriteProgram::current(false), nullptr);
        ASSERT_NE(ZTParticleSpriteProgram::current(true), nullptr);
    }
    EXPECT_EQ(ZTParticleSpriteProgram::current(false), nullptr) << "no context, no program";

    DesktopWindow second;
    ASSERT_TRUE(second.initWithFrame("Zanth second programs", 64, 64));
    // The mapped one first this time: the new context hands it the names the plain one had in the first.
    ZTParticleSpriteProgram* mapped = ZTParticleSpriteProgram::current(true);
    ZTParticleSpriteProgram* plain = ZTParticleSpriteProgram::current(false);
    ASSERT_NE(mapped, nullptr);
    ASSERT_NE(plain, nullptr);
    const GLuint mappedName = nameInUse(mapped);
    const GLuint plainName = nameInUse(plain);
    EXPECT_NE(mappedName, plainName);
    EXPECT_GE(glGetUniformLocation(mappedName, "zt_origin"), 0);
    EXPECT_EQ(glGetUniformLocation(plainName, "zt_origin"), -1) << "the plain program maps nothing";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
