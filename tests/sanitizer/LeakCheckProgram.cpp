// Opens a hidden GL window, draws into it and closes it, then exits (GLFW ends at exit, which unloads the
// GL driver before the leak check); with --leak it first loses one block of its own, which the exit leak
// check must report.
//
//   LeakCheckProgram [--title TITLE] [--leak]

#include "HiddenGLWindow.h"
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {

__attribute__((noinline)) void leakOnPurpose()
{
    char* volatile block = new char[48];
    block[0] = 1;
    block = nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    bool leak = false;
    for (int i = 1; i < argc; ++i) {
        leak = leak || std::strcmp(argv[i], "--leak") == 0;
    }
    GLFWwindow* window = openHiddenGLWindow(32, 32, "LeakCheckProgram");
    if (!window) {
        std::fprintf(stderr, "no GL window\n");
        return 2;
    }
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glfwSwapBuffers(window);
    if (leak) {
        leakOnPurpose();
    }
    glfwDestroyWindow(window);
    std::printf("drawn %d\n", pixel[0]);
    return 0;
}
