#include "definitions/blockdefinition.h"

#include <cstring>

namespace {

const char* nameAt(const std::vector<std::string>& names, int index) {
    if (index < 0 || std::size_t(index) >= names.size())
        return nullptr;
    return names[std::size_t(index)].c_str();
}

} // namespace

BlockDefinition::BlockDefinition(std::string name) : m_name(std::move(name)) {}

BlockDefinition::~BlockDefinition() = default;

const char* BlockDefinition::output(int index) const {
    return nameAt(m_outputs, index);
}

const char* BlockDefinition::input(int index) const {
    return nameAt(m_inputs, index);
}

int BlockDefinition::outputIndex(const char* name) const {
    if (!name)
        return -1;
    for (std::size_t i = 0; i < m_outputs.size(); ++i)
        if (m_outputs[i] == name)
            return int(i);
    return -1;
}

bool BlockDefinition::isCollect(const char* name) const {
    if (!name)
        return false;
    for (const std::string& n : m_collectNames)
        if (n == name)
            return true;
    return false;
}

void BlockDefinition::appendValue(const std::string& key, DynString value) {
    ValueList* list = m_sections.find(key);
    if (!list) {
        auto created = std::make_unique<ValueList>();
        list = created.get();
        m_sections.insert(key.c_str(), std::move(created));
    }
    list->append(std::move(value));
}
