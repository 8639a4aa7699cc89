#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The sound engine's named notifications: observers register a handler for a name, and a post calls
// every handler of that name on the posting thread, in the order they were added.
class ZANotificationCenter
{
public:
    using Handler = std::function<void()>;

    static ZANotificationCenter& defaultCenter();

    // observer only identifies the registration for removal; it is never dereferenced.
    void addObserver(const void* observer, const std::string& name, Handler handler);
    // Once this returns, none of the observer's handlers runs again, on any thread.
    void removeObserver(const void* observer);
    void postNotification(const std::string& name);

private:
    struct Entry
    {
        const void* observer;
        std::string name;
        Handler handler;
        bool removed = false;
    };

    // Held while handlers run, so a removal on another thread waits for a post under way.
    std::recursive_mutex m_mutex;
    std::vector<std::shared_ptr<Entry>> m_entries;
};
