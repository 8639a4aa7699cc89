#pragma once

#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdlib>
#include <thread>

// Opens a hidden GLFW window and makes its GL context current, for the tests, fuzzers and benchmarks that
// draw or upload without showing anything. Null when there is no display or no GL context.
// GLFW stays open for the whole process: Xvfb resets itself when its last client leaves and refuses
// connections meanwhile, so reconnecting right after another program can fail and is retried.
inline GLFWwindow* openHiddenGLWindow(int width, int height, const char* title)
{
    static const bool initialised = [] {
        const int attempts = std::getenv("DISPLAY") ? 50 : 1;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (glfwInit()) {
                std::atexit(glfwTerminate);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }();
    if (!initialised) {
        return nullptr;
    }
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
    if (window) {
        glfwMakeContextCurrent(window);
    }
    return window;
}
