#include "generator/designnode.h"

#include "definitions/blockdefinition.h"
#include "generator/blockview.h"

#include <algorithm>
#include <cstring>

namespace {

// Below this many names a linear walk beats hashing.
constexpr std::size_t kLinearLimit = 8;

} // namespace

void PortIndex::add(std::string_view name) {
    m_names.push_back(name);
    if (m_names.size() == kLinearLimit + 1) {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            m_byName.try_emplace(m_names[i], int(i));
    } else if (m_names.size() > kLinearLimit + 1) {
        m_byName.try_emplace(name, int(m_names.size() - 1));
    }
}

int PortIndex::find(std::string_view name) const {
    if (m_byName.empty()) {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == name)
                return int(i);
        return -1;
    }
    auto it = m_byName.find(name);
    return it == m_byName.end() ? -1 : it->second;
}

NodeType::NodeType(const BlockDefinition& def) : definition(&def) {
    for (int i = 0; i < def.outputCount(); ++i) {
        outputs.add(def.output(i));
        collect.push_back(def.isCollect(def.output(i)) ? 1 : 0);
    }
    for (int i = 0; i < def.inputCount(); ++i)
        inputs.add(def.input(i));
}

NodeVariable::NodeVariable(const std::string& n, const ValueList* v)
    : prefix(prefixOf(n)), length(std::uint32_t(n.size())), dash(!n.empty() && n[0] == '-'),
      name(&n), values(v) {}

std::uint64_t NodeVariable::prefixOf(std::string_view name) {
    std::uint64_t prefix = 0;
    if (name.size() >= sizeof prefix) {
        std::memcpy(&prefix, name.data(), sizeof prefix);
        return prefix;
    }
    for (std::size_t i = 0; i < name.size(); ++i)
        prefix |= std::uint64_t(static_cast<unsigned char>(name[i])) << (8 * i);
    return prefix;
}

void DesignNode::attach(std::span<const NodeVariable> variables, InputConnection* connections) {
    m_variables = variables.data();
    m_variableCount = std::uint32_t(variables.size());
    m_connections = connections;
    m_hasDashVariable = false;
    for (const NodeVariable& v : variables)
        m_hasDashVariable = m_hasDashVariable || v.dash;
}

const ValueList* DesignNode::variable(std::string_view name) const {
    if (m_variableCount == 0)
        return nullptr;
    const std::uint64_t prefix = NodeVariable::prefixOf(name);
    for (const NodeVariable& v : std::span(m_variables, m_variableCount))
        if (v.prefix == prefix && v.length == name.size() &&
            (v.length <= sizeof prefix || *v.name == name))
            return v.values;
    return nullptr;
}

const InputConnection* DesignNode::connection(std::string_view inputName) const {
    const int slot = m_type->inputs.find(inputName);
    if (slot < 0)
        return nullptr;
    const InputConnection& c = m_connections[slot];
    return c.source ? &c : nullptr;
}

void connect(DesignNode& node, const char* inputName, DesignNode* source, const char* outputName) {
    const int slot = inputName ? node.m_type->inputs.find(inputName) : -1;
    if (slot < 0)
        return;
    InputConnection& c = node.m_connections[slot];
    if (!source) {
        c = InputConnection{};
        return;
    }
    const int output = outputName ? source->m_type->outputs.find(outputName) : -1;
    if (output < 0)
        return;
    c.source = source;
    c.outputName = source->definition().output(output);
}
