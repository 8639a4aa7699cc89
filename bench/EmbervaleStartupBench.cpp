// Start-up time of Embervale: from starting the process to the first frame on the screen, seen as the
// main menu's orange pull-up appearing in the window. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/EmbervaleStartupBench [runs]
// Each run starts the program in a fresh folder with a fresh HOME (a first start).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Every window below `window` with the title (Qt's hidden helper windows may share it).
void findWindows(Display* display, Window window, const char* title, std::vector<Window>& found)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        if (std::strcmp(name, title) == 0)
            found.push_back(window);
        XFree(name);
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i)
        findWindows(display, children[i], title, found);
    if (children)
        XFree(children);
}

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

bool pullUpShown(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage* image = XGetImage(display, window, 10, 320, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    const int red = int((pixel >> 16) & 0xff), blue = int(pixel & 0xff);
    return red > 150 && blue < 100;
}

// Seconds from fork to the first frame, or a negative number when none came within 20 s.
double oneRun(const std::string& program, Display* display)
{
    char folder[] = "/tmp/embervale-startup-XXXXXX";
    if (!mkdtemp(folder))
        return -1;
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", folder, 1);
        if (chdir(folder) != 0)
            _exit(126);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    double seconds = -1;
    while (seconds < 0 && Clock::now() - start < std::chrono::seconds(20)) {
        std::vector<Window> windows;
        findWindows(display, DefaultRootWindow(display), "Embervale for Zanth", windows);
        for (Window window : windows)
            if (pullUpShown(display, window)) {
                seconds = std::chrono::duration<double>(Clock::now() - start).count();
                break;
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::system((std::string("rm -rf ") + folder).c_str());
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // The program lies one folder up from this one: build/<type>/embervale.
    char* self = realpath(argv[0], nullptr);
    std::string folder = self ? self : argv[0];
    std::free(self);
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    const std::string program = folder + "../embervale";
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "EmbervaleStartupBench: no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t = oneRun(program, display);
        if (t < 0) {
            std::fprintf(stderr, "EmbervaleStartupBench: run %d showed no frame within 20 s\n", i + 1);
            XCloseDisplay(display);
            return 1;
        }
        std::printf("run %d: %.3f s\n", i + 1, t);
        times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    std::printf("start to first frame: median %.3f s, best %.3f s, worst %.3f s (%d runs)\n",
                times[times.size() / 2], times.front(), times.back(), runs);
    XCloseDisplay(display);
    return 0;
}
