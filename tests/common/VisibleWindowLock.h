#pragma once

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

// Tests that show windows and send real input take this lock for their whole run, so that two of them
// running at once on the same X server never steal each other's focus or pointer.
class VisibleWindowLock
{
public:
    VisibleWindowLock()
    {
        const char* display = std::getenv("DISPLAY");
        std::string name = std::string("/tmp/zanth-visible-windows") + (display ? display : "") + ".lock";
        for (char& c : name) {
            if (c == ':') {
                c = '_';
            }
        }
        m_fd = open(name.c_str(), O_CREAT | O_RDWR, 0666);
        if (m_fd >= 0) {
            flock(m_fd, LOCK_EX);
        }
    }
    ~VisibleWindowLock()
    {
        if (m_fd >= 0) {
            flock(m_fd, LOCK_UN);
            close(m_fd);
        }
    }
    VisibleWindowLock(const VisibleWindowLock&) = delete;
    VisibleWindowLock& operator=(const VisibleWindowLock&) = delete;

private:
    int m_fd = -1;
};
