// Start-up time of Embervale: from starting the process to the first frame on the screen, seen as the
// two sliding menus' orange pull-up handles at the window's left and right edges, which every frame of the
// main screen shows. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/EmbervaleStartupBench [runs]
// Each run starts the program in a fresh folder with a fresh HOME (a first start). When the window shows
// a picture without the handles, the look has changed: the run stops at once with a message and leaves
// the picture in embervale-unexpected-frame.ppm beside this program, rather than waiting for them.
// The program's buffer swaps are counted too (libembervale_swap_counter.so, preloaded), and its CPU time
// up to the frame is read. With GALLIUM_NOOP=1 Mesa draws nothing and the window stays black: one run
// with the rasteriser first finds which swap brings the handles, and the runs then time that swap.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
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

struct Rgb
{
    int red, green, blue;
};

Rgb rgbOf(unsigned long pixel)
{
    return {int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff)};
}

bool isOrange(const Rgb& c)
{
    return c.red > 150 && c.green > 50 && c.green < 200 && c.blue < 100;
}

// Pixels of the band that pass the test; -1 when the band cannot be read.
int countPixels(Display* display, Window window, int x, int y, int width, int height,
                bool (*test)(const Rgb&))
{
    XImage* image = XGetImage(display, window, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image)
        return -1;
    int count = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            count += test(rgbOf(XGetPixel(image, column, row))) ? 1 : 0;
    XDestroyImage(image);
    return count;
}

enum class Look
{
    Nothing,  // not mapped yet, or still black
    Expected, // both pull-up handles
    Other     // a picture without them
};

// The handles hang at the window's edges, halfway down: a band of 8% of the width at each edge, over the
// middle third of the height, holds their orange frames.
Look lookOf(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return Look::Nothing;
    const int band = std::max(4, attributes.width * 8 / 100);
    const int top = attributes.height / 3, height = attributes.height / 3;
    constexpr int kHandlePixels = 50;
    const int left = countPixels(display, window, 0, top, band, height, isOrange);
    const int right = countPixels(display, window, attributes.width - band, top, band, height, isOrange);
    if (left >= kHandlePixels && right >= kHandlePixels)
        return Look::Expected;
    const auto lit = [](const Rgb& c) { return c.red + c.green + c.blue > 60; };
    return countPixels(display, window, 0, 0, attributes.width, attributes.height, lit) > 0 ? Look::Other
                                                                                            : Look::Nothing;
}

// Writes the window as a binary PPM.
void saveWindow(Display* display, Window window, const std::string& file)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return;
    XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                              AllPlanes, ZPixmap);
    if (!image)
        return;
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fprintf(out, "P6\n%d %d\n255\n", attributes.width, attributes.height);
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x) {
                const Rgb c = rgbOf(XGetPixel(image, x, y));
                const unsigned char bytes[3] = {(unsigned char)c.red, (unsigned char)c.green,
                                                (unsigned char)c.blue};
                std::fwrite(bytes, 1, 3, out);
            }
        std::fclose(out);
    }
    XDestroyImage(image);
}

// A picture without the handles is given this long to become the expected one (a frame caught while it
// is being copied to the screen), then the look counts as changed.
constexpr auto kOtherLookGrace = std::chrono::milliseconds(1500);

struct RunResult
{
    // From fork to the first frame with the handles; negative when there was none.
    double seconds = -1;
    // The program's CPU time (all threads) until then.
    double cpuSeconds = 0;
    // Buffer swaps up to and with that frame.
    int swaps = 0;
    // Set when a picture without them was shown instead.
    bool lookChanged = false;
};

// User and system time of a running process, in seconds; 0 when it cannot be read.
double cpuSecondsOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t end = text.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    // After the name: state is field 3, utime 14 and stime 15.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            user = std::stoull(field);
        else if (i == 15)
            system = std::stoull(field);
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

// Swaps reported on the pipe since the last call.
int readSwaps(int fd)
{
    int count = 0;
    char bytes[256];
    for (ssize_t got; (got = read(fd, bytes, sizeof(bytes))) > 0;)
        count += int(got);
    return count;
}

// Whether Mesa draws nothing in this process's children (GALLIUM_NOOP set to a true value).
bool rasteriserOff()
{
    const char* value = std::getenv("GALLIUM_NOOP");
    return value && *value && std::strcmp(value, "0") != 0 && std::strcmp(value, "false") != 0;
}

// With untilSwap > 0 the run ends at that swap (the window draws nothing); otherwise at the first frame
// with the handles, and a child's GALLIUM_NOOP is cleared.
RunResult oneRun(const std::string& program, const std::string& swapCounter, Display* display,
                 const std::string& unexpectedFile, int untilSwap)
{
    char folder[] = "/tmp/embervale-startup-XXXXXX";
    if (!mkdtemp(folder))
        return {};
    int swapPipe[2];
    if (pipe(swapPipe) != 0)
        return {};
    fcntl(swapPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(swapPipe[0], F_SETFD, FD_CLOEXEC);
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", folder, 1);
        setenv("EMBERVALE_SWAP_FD", std::to_string(swapPipe[1]).c_str(), 1);
        setenv("LD_PRELOAD", swapCounter.c_str(), 1);
        if (untilSwap <= 0)
            unsetenv("GALLIUM_NOOP");
        if (chdir(folder) != 0)
            _exit(126);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(swapPipe[1]);
    RunResult result;
    Clock::time_point otherSince{};
    bool otherSeen = false;
    int swaps = 0;
    while (result.seconds < 0 && !result.lookChanged && Clock::now() - start < std::chrono::seconds(20)) {
        swaps += readSwaps(swapPipe[0]);
        if (untilSwap > 0) {
            if (swaps >= untilSwap) {
                result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
                result.cpuSeconds = cpuSecondsOf(pid);
                result.swaps = swaps;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        std::vector<Window> windows;
        findWindows(display, DefaultRootWindow(display), "Embervale for Zanth", windows);
        for (Window window : windows) {
            const Look look = lookOf(display, window);
            if (look == Look::Expected) {
                result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
                result.cpuSeconds = cpuSecondsOf(pid);
                // Swaps reported before this look: the frame seen is the last of them (or, when its pixels
                // came before its report, the first).
                result.swaps = std::max(swaps, 1);
                break;
            }
            if (look != Look::Other)
                continue;
            if (!otherSeen) {
                otherSeen = true;
                otherSince = Clock::now();
            } else if (Clock::now() - otherSince > kOtherLookGrace) {
                saveWindow(display, window, unexpectedFile);
                result.lookChanged = true;
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(swapPipe[0]);
    std::system((std::string("rm -rf ") + folder).c_str());
    return result;
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
    const std::string swapCounter = folder + "libembervale_swap_counter.so";
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "EmbervaleStartupBench: no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    const std::string unexpectedFile = folder + "embervale-unexpected-frame.ppm";
    const auto lookChanged = [&](const char* what) {
        std::fprintf(stderr,
                     "EmbervaleStartupBench: %s: the window shows a picture without the orange pull-up "
                     "handles at its left and right edges: the main screen's look has changed and this "
                     "program must learn the new one (the picture: %s)\n",
                     what, unexpectedFile.c_str());
        XCloseDisplay(display);
        return 1;
    };
    int untilSwap = 0;
    if (rasteriserOff()) {
        const RunResult calibration = oneRun(program, swapCounter, display, unexpectedFile, 0);
        if (calibration.lookChanged)
            return lookChanged("the run with the rasteriser");
        if (calibration.seconds < 0 || calibration.swaps <= 0) {
            std::fprintf(stderr, "EmbervaleStartupBench: the run with the rasteriser showed no frame within "
                                 "20 s, or its swaps were not counted\n");
            XCloseDisplay(display);
            return 1;
        }
        untilSwap = calibration.swaps;
        std::printf("GALLIUM_NOOP: timing swap %d, the first with the handles when drawn\n", untilSwap);
    }
    std::vector<double> times, cpuTimes;
    for (int i = 0; i < runs; ++i) {
        const RunResult run = oneRun(program, swapCounter, display, unexpectedFile, untilSwap);
        if (run.lookChanged)
            return lookChanged(("run " + std::to_string(i + 1)).c_str());
        if (run.seconds < 0) {
            std::fprintf(stderr, "EmbervaleStartupBench: run %d showed no frame within 20 s\n", i + 1);
            XCloseDisplay(display);
            return 1;
        }
        std::printf("run %d: %.3f s, %.3f s CPU, swap %d\n", i + 1, run.seconds, run.cpuSeconds, run.swaps);
        times.push_back(run.seconds);
        cpuTimes.push_back(run.cpuSeconds);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf(
        "start to first frame: median %.3f s, best %.3f s, worst %.3f s, median CPU %.3f s (%d runs%s)\n",
        times[times.size() / 2], times.front(), times.back(), cpuTimes[cpuTimes.size() / 2], runs,
        untilSwap > 0 ? ", GALLIUM_NOOP" : "");
    XCloseDisplay(display);
    return 0;
}
