#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class BlockDefinition;
class BlockView;
class DesignNode;

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
};

// What feeds one input: a source node and the name of its output.
struct InputConnection {
    DesignNode* source = nullptr;
    std::string outputName;
};

// One placed block during a generation run.
class DesignNode {
public:
    DesignNode(const BlockView& item, NodeType& type, std::span<InputConnection> connections)
        : m_item(&item), m_type(&type), m_connections(connections) {}

    const BlockView& item() const { return *m_item; }
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
    friend void connect(DesignNode&, const char*, DesignNode*, const char*);

    const BlockView* m_item;
    NodeType* m_type;
    // One slot per input position; a repeated input name uses the slot of its first position.
    std::span<InputConnection> m_connections;
    int m_serial = 0;
    int m_typeSerial = 0;
};

// Feeds input inputName of node from output outputName of source; a null source unfeeds
// it. Names that are not ports of the two types leave everything as it was.
void connect(DesignNode& node, const char* inputName, DesignNode* source, const char* outputName);
