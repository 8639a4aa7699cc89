// Preloaded into Embervale by EmbervaleStartupBench: tells the benchmark of every frame the program puts
// on the screen by writing one byte to the descriptor named in EMBERVALE_SWAP_FD after each buffer swap.
// With GALLIUM_NOOP=1 nothing is drawn, so the window's pixels cannot show the first frame: the count of
// swaps can.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

struct GLFWwindow;

extern "C" void glfwSwapBuffers(GLFWwindow* window)
{
    using Swap = void (*)(GLFWwindow*);
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glfwSwapBuffers"));
    static const int fd = [] {
        const char* value = std::getenv("EMBERVALE_SWAP_FD");
        return value ? std::atoi(value) : -1;
    }();
    if (next)
        next(window);
    if (fd >= 0) {
        const char frame = 1;
        // The benchmark may already have stopped listening: a failed write changes nothing here.
        [[maybe_unused]] const ssize_t written = write(fd, &frame, 1);
    }
}
