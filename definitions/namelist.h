#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Payloads keyed by unique names, iterated in ascending byte-wise (strcmp) order
// of the names. The list owns its payloads.
//
// Entries are appended and put in name order when the list is next iterated
// (names that arrive in order cost no sort). Small lists are searched directly;
// larger ones get a hash index, so filling a list of any size stays linear.
// Inserting or removing invalidates running iterations.
template <typename T> class NameList {
    struct Node {
        std::string name;
        std::unique_ptr<T> payload;
    };
    // Views into the nodes' names, which stay put while the nodes are reordered.
    using Index = std::unordered_map<std::string_view, Node*>;

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
        explicit Iterator(const std::unique_ptr<Node>* at) : m_at(at) {}
        E operator*() const { return E{(*m_at)->name, (*m_at)->payload.get()}; }
        Iterator& operator++() {
            ++m_at;
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_at == other.m_at; }
        bool operator!=(const Iterator& other) const { return m_at != other.m_at; }

    private:
        const std::unique_ptr<Node>* m_at;
    };
    using iterator = Iterator<Entry>;
    using const_iterator = Iterator<ConstEntry>;

    // Takes the payload unless the name is null or taken or the payload is null;
    // a refused payload stays with the caller (it is not moved from).
    bool insert(const char* name, std::unique_ptr<T>&& payload) {
        if (!name || !payload || findNode(name))
            return false;
        auto node = std::make_unique<Node>(Node{name, std::move(payload)});
        if (m_sorted && !m_nodes.empty() && !(m_nodes.back()->name < node->name))
            m_sorted = false;
        if (m_index)
            m_index->emplace(node->name, node.get());
        m_nodes.push_back(std::move(node));
        if (!m_index && m_nodes.size() > kDirectSearchLimit) {
            m_index = std::make_unique<Index>();
            for (const auto& n : m_nodes)
                m_index->emplace(n->name, n.get());
        }
        return true;
    }

    T* find(std::string_view name) const {
        const Node* node = findNode(name);
        return node ? node->payload.get() : m_default;
    }
    T* find(const char* name) const { return name ? find(std::string_view(name)) : m_default; }

    // Linear in the size of the list (nothing removes entries in bulk).
    std::unique_ptr<T> remove(std::string_view name) {
        const Node* node = findNode(name);
        if (!node)
            return nullptr;
        if (m_index)
            m_index->erase(std::string_view(node->name));
        auto at = std::find_if(m_nodes.begin(), m_nodes.end(),
                               [node](const auto& n) { return n.get() == node; });
        std::unique_ptr<T> payload = std::move((*at)->payload);
        m_nodes.erase(at); // keeps the order
        return payload;
    }

    // The payload found for a missing name (not owned; none unless set).
    void setDefault(T* payload) { m_default = payload; }

    int count() const { return int(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.empty(); }

    iterator begin() { return iterator(sortedNodes()); }
    iterator end() { return iterator(m_nodes.data() + m_nodes.size()); }
    const_iterator begin() const { return const_iterator(sortedNodes()); }
    const_iterator end() const { return const_iterator(m_nodes.data() + m_nodes.size()); }

private:
    static constexpr std::size_t kDirectSearchLimit = 16;

    Node* findNode(std::string_view name) const {
        if (m_index) {
            auto it = m_index->find(name);
            return it == m_index->end() ? nullptr : it->second;
        }
        for (const auto& node : m_nodes)
            if (node->name == name)
                return node.get();
        return nullptr;
    }

    const std::unique_ptr<Node>* sortedNodes() const {
        if (!m_sorted) {
            sortNodes();
            m_sorted = true;
        }
        return m_nodes.data();
    }

    void sortNodes() const {
        // Sort on name prefixes kept side by side, so most comparisons do not
        // chase pointers to names scattered over the heap.
        struct Key {
            std::uint64_t high;
            std::uint64_t low;
            Node* node;
        };
        std::vector<Key> keys;
        keys.reserve(m_nodes.size());
        for (auto& node : m_nodes)
            keys.push_back({prefix(node->name, 0), prefix(node->name, 8), node.release()});
        std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
            if (a.high != b.high)
                return a.high < b.high;
            if (a.low != b.low)
                return a.low < b.low;
            // std::string compares bytes as unsigned char, as strcmp does.
            return a.node->name < b.node->name;
        });
        for (std::size_t i = 0; i < keys.size(); ++i)
            m_nodes[i].reset(keys[i].node);
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

    // Sorting reorders the nodes without changing the list's contents, so the
    // walks of a const list may do it.
    mutable std::vector<std::unique_ptr<Node>> m_nodes;
    std::unique_ptr<Index> m_index; // only once the list is large
    mutable bool m_sorted = true;
    T* m_default = nullptr;
};
