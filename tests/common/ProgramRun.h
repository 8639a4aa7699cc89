#pragma once

// Runs a helper program of the tests (a *Program.cpp next to them) under the X server of the test run,
// collecting its report lines, so that end-to-end tests can drive it with real input (xdotool).

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Deadline.h"
#include "ShellCommand.h"
#include "TestProgramPath.h"

using Clock = std::chrono::steady_clock;

// One run of a program with its report lines collected in a file.
class ProgramRun
{
public:
    // workingFolder: where the program runs (empty: the test's own working folder).
    ProgramRun(const std::string& program, const std::string& title, std::vector<std::string> extra = {},
               const char* display = nullptr, const std::string& workingFolder = {})
        : m_title(title)
    {
        char path[] = "/tmp/zanth-program-XXXXXX";
        const int fd = mkstemp(path);
        m_output = path;
        std::vector<std::string> args = {testProgramPath(program), "--title", title};
        args.insert(args.end(), extra.begin(), extra.end());
        m_pid = fork();
        if (m_pid == 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            if (display) {
                setenv("DISPLAY", display, 1);
            }
            if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) {
                _exit(126);
            }
            std::vector<char*> argv;
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(fd);
    }

    ~ProgramRun()
    {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        std::remove(m_output.c_str());
    }

    std::string output() const
    {
        std::ifstream in(m_output);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    bool waitForLine(const std::string& text, double seconds = 10.0) const
    {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds * deadlineScale());
        while (Clock::now() < end) {
            if (output().find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Finds the window by its title, waiting for it; empty when it never shows.
    std::string windowId()
    {
        // Polled every 50 ms rather than with --sync, which looks only twice a second and misses a window
        // that lives briefly; a search also fails at once when another client's window vanishes meanwhile.
        // Only this process's window counts: an earlier run's window of the same title may still be closing.
        const auto end = Clock::now() + std::chrono::duration<double>(10.0 * deadlineScale());
        while (m_window.empty() && Clock::now() < end) {
            const std::string out =
                commandOutput("timeout 10 xdotool search --all --pid " + std::to_string(m_pid) + " --name '^" +
                              m_title + "$' 2>/dev/null");
            std::istringstream in(out);
            in >> m_window;
            if (m_window.empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return m_window;
    }

    // Waits for the process to end; the exit status, or -1 on timeout or a signal.
    int waitExit(double seconds, double* took = nullptr)
    {
        const auto start = Clock::now();
        const auto end = start + std::chrono::duration<double>(seconds * deadlineScale());
        while (Clock::now() < end) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                if (took) {
                    *took = std::chrono::duration<double>(Clock::now() - start).count();
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    // Waits for the window and its first frame and focuses it, so that real key and mouse input reaches it.
    bool ready()
    {
        if (windowId().empty() || !waitForLine("first-frame")) {
            return false;
        }
        // --sync returns once the window has the focus; the X server queues the focus change before any
        // input sent after it, so the program sees it first.
        return runCommand("timeout 10 xdotool windowfocus --sync " + m_window + " >/dev/null 2>&1") == 0;
    }

    std::vector<std::string> linesStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        std::istringstream in(output());
        for (std::string line; std::getline(in, line);) {
            if (line.compare(0, prefix.size(), prefix) == 0) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    pid_t pid() const { return m_pid; }

private:
    std::string m_title;
    std::string m_output;
    std::string m_window;
    pid_t m_pid = -1;
    bool m_exited = false;
};

// Holds one connection to the X server for the whole run: when its last client leaves, Xvfb resets and
// refuses the next program's connection for a moment. Register it with AddGlobalTestEnvironment.
class XServerConnection : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_xlib = dlopen("libX11.so.6", RTLD_NOW);
        if (m_xlib) {
            auto openDisplay = reinterpret_cast<void* (*)(const char*)>(dlsym(m_xlib, "XOpenDisplay"));
            m_display = openDisplay(nullptr);
        }
    }
    void TearDown() override
    {
        if (m_display) {
            reinterpret_cast<int (*)(void*)>(dlsym(m_xlib, "XCloseDisplay"))(m_display);
        }
        if (m_xlib) {
            dlclose(m_xlib);
        }
    }

private:
    void* m_xlib = nullptr;
    void* m_display = nullptr;
};
