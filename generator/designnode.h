#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class BlockDefinition;
class BlockView;
class DesignNode;
class ValueList;

// Positions of a block type's port names; a repeated name keeps its first position.
class PortIndex {
public:
    void add(std::string_view name);
    int find(std::string_view name) const;
    int count() const { return int(m_names.size()); }

private:
    std::vector<std::string_view> m_names;
    std::unordered_map<std::string_view, int> m_byName; // only built for long lists
};

// What one generation run keeps per block type.
struct NodeType {
    explicit NodeType(const BlockDefinition& definition);

    const BlockDefinition* definition;
    PortIndex outputs;
    PortIndex inputs;
    std::vector<char> collect; // per output position: marked "collect"
    int count = 0;             // nodes of this type in the run ("bnum")
    bool marked = false;       // already rendered in the current once-per-type part
    // The sections of the step being rendered, and of "-" followed by it.
    const ValueList* stepSection = nullptr;
    const ValueList* onceSection = nullptr;
};

// What feeds one input: a source node and the name of its output (the source type's own
// copy, which outlives the run).
struct InputConnection {
    DesignNode* source = nullptr;
    std::string_view outputName;
};

// One of a block's own variables as a run sees it. The name's length and first bytes sit
// beside the values, so a lookup that misses touches nothing of the block itself.
struct NodeVariable {
    explicit NodeVariable(const std::string& name, const ValueList* values);
    static std::uint64_t prefixOf(std::string_view name);

    std::uint64_t prefix;
    std::uint32_t length;
    bool dash; // the name starts with "-"
    const std::string* name;
    const ValueList* values;
};

// One placed block during a generation run.
class DesignNode {
public:
    // key: the block's x + y. Variables and connections are attached by the generator.
    DesignNode(const BlockView& item, NodeType& type, double key)
        : m_item(&item), m_type(&type), m_key(key) {}

    const BlockView& item() const { return *m_item; }
    // The block's x + y when the run started: what orders nodes and wires.
    double key() const { return m_key; }
    // The block's own variable of that name, or null.
    const ValueList* variable(std::string_view name) const;
    bool hasVariables() const { return m_variableCount > 0; }
    // Whether a variable's name starts with "-", as once-per-type names do.
    bool hasDashVariable() const { return m_hasDashVariable; }
    const BlockDefinition& definition() const { return *m_type->definition; }
    NodeType& type() const { return *m_type; }

    int serial() const { return m_serial; }         // "u_id"
    int typeSerial() const { return m_typeSerial; } // "b_id"
    void setSerials(int serial, int typeSerial) {
        m_serial = serial;
        m_typeSerial = typeSerial;
    }

    // The connection of an input name, or null when that input is not fed.
    const InputConnection* connection(std::string_view inputName) const;

private:
    friend class Generator;
    friend void connect(DesignNode&, const char*, DesignNode*, const char*);

    // variables: the block's own variables, read when the run started; connections: one
    // slot per input position (a repeated input name uses the slot of its first position).
    void attach(std::span<const NodeVariable> variables, InputConnection* connections);
    std::span<InputConnection> connections() const {
        return {m_connections, std::size_t(m_type->inputs.count())};
    }

    const BlockView* m_item;
    NodeType* m_type;
    const NodeVariable* m_variables = nullptr;
    InputConnection* m_connections = nullptr;
    double m_key;
    std::uint32_t m_variableCount = 0;
    int m_serial = 0;
    int m_typeSerial = 0;
    bool m_hasDashVariable = false;
};

// Feeds input inputName of node from output outputName of source; a null source unfeeds
// it. Names that are not ports of the two types leave everything as it was.
void connect(DesignNode& node, const char* inputName, DesignNode* source, const char* outputName);
