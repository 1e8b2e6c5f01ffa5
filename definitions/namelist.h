#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// Payloads keyed by unique names, kept in ascending byte-wise (strcmp) order of
// the names. The list owns its payloads.
template <typename T> class NameList {
    using Map = std::map<std::string, std::unique_ptr<T>, std::less<>>;

public:
    struct Entry {
        const std::string& name;
        T* payload;
    };
    struct ConstEntry {
        const std::string& name;
        const T* payload;
    };

    template <typename It, typename E> class Iterator {
    public:
        explicit Iterator(It it) : m_it(it) {}
        E operator*() const { return E{m_it->first, m_it->second.get()}; }
        Iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const Iterator& other) const { return m_it != other.m_it; }

    private:
        It m_it;
    };
    using iterator = Iterator<typename Map::iterator, Entry>;
    using const_iterator = Iterator<typename Map::const_iterator, ConstEntry>;

    // Takes the payload unless the name is null or taken or the payload is null;
    // a refused payload stays with the caller (it is not moved from).
    bool insert(const char* name, std::unique_ptr<T>&& payload) {
        if (!name || !payload)
            return false;
        auto [it, inserted] = m_map.try_emplace(std::string(name), std::move(payload));
        return inserted;
    }

    T* find(std::string_view name) const {
        auto it = m_map.find(name);
        return it == m_map.end() ? m_default : it->second.get();
    }
    T* find(const char* name) const { return name ? find(std::string_view(name)) : m_default; }

    std::unique_ptr<T> remove(std::string_view name) {
        auto it = m_map.find(name);
        if (it == m_map.end())
            return nullptr;
        std::unique_ptr<T> payload = std::move(it->second);
        m_map.erase(it);
        return payload;
    }

    // The payload found for a missing name (not owned; none unless set).
    void setDefault(T* payload) { m_default = payload; }

    int count() const { return int(m_map.size()); }
    bool isEmpty() const { return m_map.empty(); }

    iterator begin() { return iterator(m_map.begin()); }
    iterator end() { return iterator(m_map.end()); }
    const_iterator begin() const { return const_iterator(m_map.begin()); }
    const_iterator end() const { return const_iterator(m_map.end()); }

private:
    Map m_map;
    T* m_default = nullptr;
};
