#pragma once

#include "definitions/namelist.h"
#include "definitions/valuelist.h"

#include <memory>
#include <string>
#include <vector>

class Tokenizer;

// One block type of a definition file: its ports, keyed sections and marks.
class BlockDefinition {
public:
    explicit BlockDefinition(std::string name);
    virtual ~BlockDefinition();

    // Reads one block statement. Returns null with the tokens given back when the
    // next statement is not a block, or null with an error recorded in the tokenizer.
    static std::unique_ptr<BlockDefinition> parser(Tokenizer& tokenizer);

    const char* name() const { return m_name.c_str(); }

    const ValueList* section(const char* key) const { return m_sections.find(key); }
    const NameList<ValueList>& sections() const { return m_sections; }

    // The parameter name at a 0-based position, or nullptr.
    const char* output(int index) const;
    const char* input(int index) const;
    int outputIndex(const char* name) const;
    int outputCount() const { return int(m_outputs.size()); }
    int inputCount() const { return int(m_inputs.size()); }

    bool isCollect(const char* name) const;
    const std::vector<std::string>& editNames() const { return m_editNames; }
    const std::vector<std::string>& collectNames() const { return m_collectNames; }

    int instanceCount() const { return m_instanceCount; }
    void setInstanceCount(int count) { m_instanceCount = count; }

    // Building.
    void addOutput(std::string name) { m_outputs.push_back(std::move(name)); }
    void addInput(std::string name) { m_inputs.push_back(std::move(name)); }
    void addEditName(std::string name) { m_editNames.push_back(std::move(name)); }
    void addCollectName(std::string name) { m_collectNames.push_back(std::move(name)); }
    void appendValue(const std::string& key, DynString value);

private:
    std::string m_name;
    std::vector<std::string> m_outputs;
    std::vector<std::string> m_inputs;
    NameList<ValueList> m_sections;
    std::vector<std::string> m_editNames;
    std::vector<std::string> m_collectNames;
    int m_instanceCount = 0;
};
