#pragma once

#include "definitions/definitionset.h"
#include "definitions/toolboxentry.h"
#include "generator/blockview.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

struct BlockRecord;
struct WireRecord;

// A block read from a design file, as the generator sees it.
class RecordedBlock : public BlockView {
public:
    RecordedBlock(ToolboxEntry& entry, double x, double y);

    const char* typeName() const override { return entry_.name().c_str(); }
    double x() const override { return x_; }
    double y() const override { return y_; }
    const NameList<ValueList>& variables() const override { return variables_; }
    PortEnd inputSource(int inputPort) const override;
    void outputTargets(int outputPort, std::vector<PortEnd>& targets) const override;

    NameList<ValueList>& variables() { return variables_; }
    ToolboxEntry& entry() const { return entry_; }
    // The port numbers the block's outline draws, by kind.
    bool hasPort(int number, bool isInput) const;

    void connectInput(int inputPort, PortEnd source);
    void addOutputTarget(int outputPort, PortEnd target);

private:
    ToolboxEntry& entry_;
    double x_;
    double y_;
    NameList<ValueList> variables_;
    std::vector<PortEnd> inputSources_;                 // by input port - 1
    std::map<int, std::vector<PortEnd>> outputTargets_; // in the order the wires were read
    std::vector<std::pair<int, bool>> ports_;           // number, isInput
};

// A design read from its file the way the editor loads it, without a canvas: the settings
// record loads the definition file from the definitions directory, each block starts with its
// type's edit variables and takes the stored values, and wires join numbered ports.
class RecordedDesign {
public:
    // Reads the design; false with a message when it cannot be used. A damaged file loads
    // up to the damage and sets damaged().
    bool load(const QString& path, const QString& definitionsDirectory);

    const QString& error() const { return error_; }
    bool damaged() const { return damaged_; }
    const DefinitionSet& definitions() const { return definitions_; }
    const QString& outputFileName() const { return outputFileName_; }
    std::vector<const BlockView*> blocks() const;

private:
    bool loadDefinitions(const std::string& name, const QString& directory);
    bool addBlock(const BlockRecord& record);
    bool addWire(const WireRecord& record);

    DefinitionSet definitions_;
    std::vector<std::unique_ptr<ToolboxEntry>> entries_;
    std::map<std::string, ToolboxEntry*> entriesByName_;
    std::vector<std::unique_ptr<RecordedBlock>> blocks_;
    std::map<std::uint32_t, RecordedBlock*> blocksByNumber_;
    QString outputFileName_;
    QString error_;
    bool damaged_ = false;
    bool hasSettings_ = false;
};
