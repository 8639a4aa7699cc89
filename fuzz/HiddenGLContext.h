#pragma once

#include <GLFW/glfw3.h>

// Makes a hidden GLFW window's GL context current when a display is there, so that readers meet a real
// context (texture uploads, the largest texture size); without a display nothing happens.
inline void makeHiddenGLContextCurrent(const char* title)
{
    if (glfwInit()) {
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        if (GLFWwindow* window = glfwCreateWindow(16, 16, title, nullptr, nullptr)) {
            glfwMakeContextCurrent(window);
        }
    }
}
