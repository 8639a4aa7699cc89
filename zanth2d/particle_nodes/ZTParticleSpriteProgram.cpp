#include "particle_nodes/ZTParticleSpriteProgram.h"

#include <GL/glext.h>

#include "platform/ZTCommon.h"
#include "platform/linux/DesktopWindow.h"

namespace zanth2d {

namespace {

const char* const kVertexShader = R"(#version 120
attribute vec2 zt_position;
attribute vec4 zt_colour;
attribute float zt_size;
uniform float zt_pixelsPerUnit;
varying vec4 v_colour;
void main()
{
    v_colour = zt_colour;
    gl_PointSize = zt_size * zt_pixelsPerUnit;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(zt_position, 0.0, 1.0);
}
)";

// The whole texture upright: the point coordinate is the texture coordinate. Kept apart from the mapped
// form because the rasteriser fills it markedly faster.
const char* const kPlainFragmentShader = R"(#version 120
uniform sampler2D zt_texture;
varying vec4 v_colour;
void main()
{
    gl_FragColor = texture2D(zt_texture, gl_PointCoord) * v_colour;
}
)";

const char* const kMappedFragmentShader = R"(#version 120
uniform sampler2D zt_texture;
uniform vec2 zt_origin;
uniform vec2 zt_alongX;
uniform vec2 zt_alongY;
varying vec4 v_colour;
void main()
{
    gl_FragColor = texture2D(zt_texture, zt_origin + gl_PointCoord.x * zt_alongX + gl_PointCoord.y * zt_alongY) * v_colour;
}
)";

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        ZTLog(
            "ZTParticleSpriteProgram: WARNING: a shader does not compile, particles are drawn as quads: %s\n",
            log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

ZTParticleSpriteProgram* ZTParticleSpriteProgram::current(bool mapped)
{
    static ZTParticleSpriteProgram plain;
    static ZTParticleSpriteProgram mappedProgram;
    ZTParticleSpriteProgram& program = mapped ? mappedProgram : plain;
    // The platform layer names the current context; the program is built anew for each one.
    const std::uintptr_t context = DesktopWindow::currentContext();
    if (!context) {
        return nullptr;
    }
    // A context made elsewhere is named by its address, which a new one may reuse: GL then knows none
    // of the ended one's objects.
    if (program.m_uContext != context || (program.m_uProgram && !glIsProgram(program.m_uProgram))) {
        program.m_uContext = context;
        program.m_uProgram = 0;
        program.m_bFailed = !program.build(mapped ? kMappedFragmentShader : kPlainFragmentShader);
    }
    return program.m_bFailed ? nullptr : &program;
}

bool ZTParticleSpriteProgram::build(const char* fragmentShader)
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = vertex ? compile(GL_FRAGMENT_SHADER, fragmentShader) : 0;
    if (!fragment) {
        if (vertex) {
            glDeleteShader(vertex);
        }
        return false;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kPosition, "zt_position");
    glBindAttribLocation(program, kColor, "zt_colour");
    glBindAttribLocation(program, kSize, "zt_size");
    glLinkProgram(program);
    // The program keeps what it needs of them.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        ZTLog("ZTParticleSpriteProgram: WARNING: the program does not link, particles are drawn as quads\n");
        glDeleteProgram(program);
        return false;
    }
    m_uProgram = program;
    m_iPixelsPerUnit = glGetUniformLocation(program, "zt_pixelsPerUnit");
    m_iOrigin = glGetUniformLocation(program, "zt_origin");
    m_iAlongX = glGetUniformLocation(program, "zt_alongX");
    m_iAlongY = glGetUniformLocation(program, "zt_alongY");
    m_iTexture = glGetUniformLocation(program, "zt_texture");
    return true;
}

void ZTParticleSpriteProgram::use(float pixelsPerUnit, const GLfloat origin[2], const GLfloat alongX[2],
                                  const GLfloat alongY[2])
{
    glUseProgram(m_uProgram);
    glUniform1f(m_iPixelsPerUnit, pixelsPerUnit);
    // The plain program has no mapping (its locations are -1, which GL ignores).
    glUniform2fv(m_iOrigin, 1, origin);
    glUniform2fv(m_iAlongX, 1, alongX);
    glUniform2fv(m_iAlongY, 1, alongY);
    glUniform1i(m_iTexture, 0);
}

void ZTParticleSpriteProgram::done()
{
    glUseProgram(0);
}

} // namespace zanth2d
