#pragma once

#include <string>
#include <string_view>
#include <vector>

class DesignNode;

// The (node, name) pairs being resolved through connections, one inside the other.
// Resolving a pair that is already here means the definitions go round in a circle.
class ExpansionChain {
public:
    void push(const DesignNode* node, std::string_view name);
    void pop();
    // Same node (identity) and the same name byte for byte.
    bool contains(const DesignNode* node, std::string_view name) const;
    bool isEmpty() const { return m_entries.empty(); }
    int size() const { return int(m_entries.size()); }

private:
    struct Entry {
        const DesignNode* node;
        std::string name;
    };
    std::vector<Entry> m_entries; // newest last
};
