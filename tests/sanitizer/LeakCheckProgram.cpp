// Opens a hidden GL window, draws into it and closes it again with GLFW (which unloads the GL driver),
// then exits; with --leak it first loses one block of its own, which the exit leak check must report.
//
//   LeakCheckProgram [--title TITLE] [--leak]

#include <GL/gl.h>
#include <GLFW/glfw3.h>

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
    if (!glfwInit()) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(32, 32, "LeakCheckProgram", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "no window\n");
        glfwTerminate();
        return 2;
    }
    glfwMakeContextCurrent(window);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glfwSwapBuffers(window);
    if (leak) {
        leakOnPurpose();
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    std::printf("drawn %d\n", pixel[0]);
    return 0;
}
