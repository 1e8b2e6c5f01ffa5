#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Payloads keyed by unique names, iterated in ascending byte-wise (strcmp) order
// of the names. The list owns its payloads.
//
// Lookups go through a hash index; the name order is built when the list is
// iterated after a change, so filling a large list never walks a tree.
// Inserting or removing invalidates running iterations.
template <typename T> class NameList {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using Map = std::unordered_map<std::string, std::unique_ptr<T>, Hash, std::equal_to<>>;
    using Slot = typename Map::value_type;

public:
    struct Entry {
        const std::string& name;
        T* payload;
    };
    struct ConstEntry {
        const std::string& name;
        const T* payload;
    };

    template <typename E> class Iterator {
    public:
        explicit Iterator(typename std::vector<Slot*>::const_iterator it) : m_it(it) {}
        E operator*() const { return E{(*m_it)->first, (*m_it)->second.get()}; }
        Iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const Iterator& other) const { return m_it != other.m_it; }

    private:
        typename std::vector<Slot*>::const_iterator m_it;
    };
    using iterator = Iterator<Entry>;
    using const_iterator = Iterator<ConstEntry>;

    // Takes the payload unless the name is null or taken or the payload is null;
    // a refused payload stays with the caller (it is not moved from).
    bool insert(const char* name, std::unique_ptr<T>&& payload) {
        if (!name || !payload || m_map.find(std::string_view(name)) != m_map.end())
            return false;
        m_map.emplace(std::string(name), std::move(payload));
        m_sorted.clear();
        return true;
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
        m_sorted.clear();
        return payload;
    }

    // The payload found for a missing name (not owned; none unless set).
    void setDefault(T* payload) { m_default = payload; }

    int count() const { return int(m_map.size()); }
    bool isEmpty() const { return m_map.empty(); }

    iterator begin() { return iterator(order().begin()); }
    iterator end() { return iterator(order().end()); }
    const_iterator begin() const { return const_iterator(order().begin()); }
    const_iterator end() const { return const_iterator(order().end()); }

private:
    const std::vector<Slot*>& order() const {
        if (m_sorted.size() == m_map.size())
            return m_sorted;
        // Sort on name prefixes kept side by side, so most comparisons do not
        // chase pointers into the scattered map nodes.
        struct Key {
            std::uint64_t high;
            std::uint64_t low;
            Slot* slot;
        };
        std::vector<Key> keys;
        keys.reserve(m_map.size());
        for (auto& slot : m_map) {
            const std::string& name = slot.first;
            keys.push_back({prefix(name, 0), prefix(name, 8), const_cast<Slot*>(&slot)});
        }
        std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
            if (a.high != b.high)
                return a.high < b.high;
            if (a.low != b.low)
                return a.low < b.low;
            // std::string compares bytes as unsigned char, as strcmp does.
            return a.slot->first < b.slot->first;
        });
        m_sorted.clear();
        m_sorted.reserve(keys.size());
        for (const Key& key : keys)
            m_sorted.push_back(key.slot);
        return m_sorted;
    }

    // Eight name bytes from offset as a big-endian number, zero-padded: numeric
    // order equals byte order, and a shorter name sorts first since names hold no NUL.
    static std::uint64_t prefix(const std::string& name, std::size_t offset) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const std::size_t at = offset + i;
            v = (v << 8) | (at < name.size() ? static_cast<unsigned char>(name[at]) : 0u);
        }
        return v;
    }

    Map m_map;
    mutable std::vector<Slot*> m_sorted; // empty until needed
    T* m_default = nullptr;
};
