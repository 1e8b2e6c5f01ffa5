#pragma once

#include <optional>
#include <string>
#include <vector>

class BlockDefinition;

// What the toolbox and the canvas need of one block type: its name, outline, category and ports.
class ToolboxEntry {
public:
    // shape and category null when the definition gives none; the category then is "Misc".
    ToolboxEntry(const char* name, const char* shape, const char* category,
                 BlockDefinition* definition);
    virtual ~ToolboxEntry();

    void addInput(const char* name) { inputNames_.emplace_back(name); }
    void addOutput(const char* name) { outputNames_.emplace_back(name); }

    const std::string& name() const { return name_; }
    // The shape text; a block type without one gets the default outline for its ports, built
    // on first use and kept.
    const std::string& shape();
    const std::string& category() const { return category_; }
    BlockDefinition* definition() const { return definition_; }
    const std::vector<std::string>& inputNames() const { return inputNames_; }
    const std::vector<std::string>& outputNames() const { return outputNames_; }

private:
    std::string name_;
    std::optional<std::string> shape_;
    std::string category_;
    BlockDefinition* definition_;
    std::vector<std::string> inputNames_;
    std::vector<std::string> outputNames_;
};
