#pragma once

#include "HiddenGLWindow.h"

#include <GL/gl.h>

#include <array>
#include <cstdlib>
#include <stdexcept>

// Present only in sanitizer builds.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

// A hidden GLFW window with a current compatibility-profile context, for tests that draw or read GL state.
// Needs a display (the test script runs everything under Xvfb).
class GLTestContext
{
public:
    explicit GLTestContext(int width = 64, int height = 64)
    {
        m_window = openHiddenGLWindow(width, height, "test");
        if (!m_window)
            throw std::runtime_error("no hidden GL window (is DISPLAY set?)");
        checkLeaksBeforeGLFWEnds();
        glViewport(0, 0, width, height);
    }

    ~GLTestContext() { glfwDestroyWindow(m_window); }

    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    GLFWwindow* window() const { return m_window; }
    void makeCurrent() const { glfwMakeContextCurrent(m_window); }

    // RGBA of one pixel of the back buffer, origin at the bottom left (GL's convention).
    static std::array<unsigned char, 4> readPixel(int x, int y)
    {
        std::array<unsigned char, 4> rgba{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    // The current model-view matrix, column-major as GL keeps it.
    static std::array<float, 16> modelViewMatrix()
    {
        std::array<float, 16> m{};
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }

    // Source and destination factors of the current blend function.
    static std::array<GLint, 2> blendFunction()
    {
        std::array<GLint, 2> factors{};
        glGetIntegerv(GL_BLEND_SRC, &factors[0]);
        glGetIntegerv(GL_BLEND_DST, &factors[1]);
        return factors;
    }

    static std::array<float, 16> projectionMatrix()
    {
        std::array<float, 16> m{};
        glGetFloatv(GL_PROJECTION_MATRIX, m.data());
        return m;
    }

private:
    // Exit handlers run last-registered first: check for leaks while the GL driver and its threads are
    // still there, since the leak checker can crash on a driver tearing down.
    static void checkLeaksBeforeGLFWEnds()
    {
        static const bool registered = [] {
            if (__lsan_do_leak_check)
                std::atexit(__lsan_do_leak_check);
            return true;
        }();
        (void)registered;
    }

    GLFWwindow* m_window = nullptr;
};
