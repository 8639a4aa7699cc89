#pragma once

#include <GL/gl.h>
#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "FixtureDir.h"
#include "GLTestContext.h"
#include "PngFixture.h"
#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "support/ZTGLStack.h"
#include "textures/ZTTextureCache.h"

// A hidden window with the scene graph's drawing state: a 2D projection of its size in pixels, premultiplied
// blending, the vertex, colour and texture-coordinate arrays and GL_TEXTURE_2D enabled, black background.
class SpriteScene
{
public:
    explicit SpriteScene(int width = 256, int height = 256)
        : m_context(width, height), m_width(width), m_height(height)
    {
        keepDriverLoaded();
        zanth2d::ZTDirector::sharedDirector();
        zanth2d::ZTGLStack::createStack();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, 0, height, -1024, 1024);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 1);
        clear();
    }

    ~SpriteScene()
    {
        // Autoreleased nodes and textures go while the context is still current.
        zanth2d::ZTPoolManager::getInstance()->getCurReleasePool()->clear();
        zanth2d::ZTTextureCache::purgeSharedTextureCache();
    }

    void clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
    // Back to this scene's context after another one's.
    void makeCurrent() const { m_context.makeCurrent(); }

    // RGB of the whole back buffer, bottom row first.
    std::vector<unsigned char> frame() const
    {
        std::vector<unsigned char> rgb(static_cast<size_t>(m_width) * m_height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    static std::array<int, 3> rgb(int x, int y)
    {
        auto p = GLTestContext::readPixel(x, y);
        return {p[0], p[1], p[2]};
    }

private:
    // The driver's first draw compiles code whose buffers it keeps for the process; once GLFW closes and
    // the driver is unloaded, the leak checker cannot name the library any more and so cannot suppress it.
    static void keepDriverLoaded()
    {
        for (const char* library :
             {"swrast_dri.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libGLX_mesa.so.0"}) {
            dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
    }

    GLTestContext m_context;
    int m_width;
    int m_height;
};

// A 32 x 32 PNG of four 16 x 16 quadrants: top left red, top right green, bottom left blue, bottom right
// (200, 100, 50) at alpha 128.
inline std::string writeQuadrantPng(const FixtureDir& dir, const std::string& name = "quadrants.png")
{
    const std::string script = std::string(kPythonPngWriter) + R"PY(
def pixel(x, y):
    if y < 16:
        return bytes([255, 0, 0, 255]) if x < 16 else bytes([0, 255, 0, 255])
    return bytes([0, 0, 255, 255]) if x < 16 else bytes([200, 100, 50, 128])
png(")PY" + name + R"PY(", 32, 32, pixel)
)PY";
    if (!dir.python(script)) {
        return std::string();
    }
    return dir.path(name);
}
