#pragma once

#include <GLFW/glfw3.h>
#include <GL/gl.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

// Present only in sanitizer builds.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

// A hidden GLFW window with a current compatibility-profile context, for tests that draw or read GL state.
// Needs a display (the test script runs everything under Xvfb).
class GLTestContext
{
public:
    explicit GLTestContext(int width = 64, int height = 64)
    {
        initGLFWOnce();
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
        glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
        glfwWindowHint(GLFW_DEPTH_BITS, 24);
        glfwWindowHint(GLFW_STENCIL_BITS, 8);
        m_window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
        if (!m_window)
            throw std::runtime_error("glfwCreateWindow failed");
        makeCurrent();
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
    // GLFW stays open for the whole process: Xvfb resets itself when its last client leaves and refuses
    // connections meanwhile, so reconnecting per test (or right after the previous test program) can fail.
    static void initGLFWOnce()
    {
        static const bool initialised = [] {
            for (int attempt = 0; attempt < 50; ++attempt) {
                if (glfwInit()) {
                    std::atexit(glfwTerminate);
                    // Exit handlers run last-registered first: check for leaks while the GL driver and its
                    // threads are still there, since the leak checker can crash on a driver tearing down.
                    if (__lsan_do_leak_check) {
                        std::atexit(__lsan_do_leak_check);
                    }
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            return false;
        }();
        if (!initialised)
            throw std::runtime_error("glfwInit failed (is DISPLAY set?)");
    }

    GLFWwindow* m_window = nullptr;
};
