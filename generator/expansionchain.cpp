#include "generator/expansionchain.h"

void ExpansionChain::push(const DesignNode* node, std::string_view name) {
    m_entries.push_back(Entry{node, std::string(name)});
}

void ExpansionChain::pop() {
    if (!m_entries.empty())
        m_entries.pop_back();
}

bool ExpansionChain::contains(const DesignNode* node, std::string_view name) const {
    // Newest first: a cycle is usually short.
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->node == node && it->name == name)
            return true;
    return false;
}
