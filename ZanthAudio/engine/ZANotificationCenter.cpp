#include "engine/ZANotificationCenter.h"

#include <algorithm>

ZANotificationCenter& ZANotificationCenter::defaultCenter()
{
    static ZANotificationCenter center;
    return center;
}

void ZANotificationCenter::addObserver(const void* observer, const std::string& name, Handler handler)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_entries.push_back(std::make_shared<Entry>(Entry{observer, name, std::move(handler)}));
}

void ZANotificationCenter::removeObserver(const void* observer)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& entry : m_entries) {
        if (entry->observer == observer)
            entry->removed = true;
    }
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [observer](const auto& entry) { return entry->observer == observer; }),
                    m_entries.end());
}

void ZANotificationCenter::postNotification(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // A handler may add or remove observers: walk a copy, and skip what was removed meanwhile.
    const auto entries = m_entries;
    for (const auto& entry : entries) {
        if (!entry->removed && entry->name == name)
            entry->handler();
    }
}
