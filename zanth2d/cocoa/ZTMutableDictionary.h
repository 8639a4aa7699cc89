#pragma once

#include <map>
#include <string>
#include <vector>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// Ordered map from key to object; every value is retained once. The first value stored under a key stays.
template <typename K, typename T>
class ZTMutableDictionary : public ZTObject
{
public:
    using const_iterator = typename std::map<K, T>::const_iterator;

    ZTMutableDictionary() = default;
    ~ZTMutableDictionary() override { removeAllObjects(); }

    // Stores and retains pObject when the key is new; returns false and changes nothing otherwise.
    bool setObject(T pObject, const K& key)
    {
        auto result = m_map.emplace(key, pObject);
        if (!result.second) {
            return false;
        }
        pObject->retain();
        return true;
    }

    // The value for key, or null.
    T objectForKey(const K& key) const
    {
        auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : it->second;
    }

    void removeObjectForKey(const K& key)
    {
        auto it = m_map.find(key);
        if (it == m_map.end()) {
            return;
        }
        T pObject = it->second;
        m_map.erase(it);
        pObject->release();
    }

    // Releases every value in key order; values taken out first so destructors see an empty map.
    void removeAllObjects()
    {
        std::map<K, T> old;
        old.swap(m_map);
        for (auto& entry : old) {
            entry.second->release();
        }
    }

    std::vector<K> allKeys() const
    {
        std::vector<K> keys;
        keys.reserve(m_map.size());
        for (const auto& entry : m_map) {
            keys.push_back(entry.first);
        }
        return keys;
    }

    std::vector<K> allKeysForObject(T pObject) const
    {
        std::vector<K> keys;
        for (const auto& entry : m_map) {
            if (entry.second == pObject) {
                keys.push_back(entry.first);
            }
        }
        return keys;
    }

    unsigned int count() const { return static_cast<unsigned int>(m_map.size()); }
    const_iterator begin() const { return m_map.begin(); }
    const_iterator end() const { return m_map.end(); }

private:
    std::map<K, T> m_map;
};

} // namespace zanth2d
