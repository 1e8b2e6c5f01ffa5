#pragma once

#include "definitions/definitioncheck.h"
#include "definitions/definitionset.h"
#include "definitions/toolboxentry.h"
#include "designfile/designreader.h"
#include "generator/blockview.h"

#include <QString>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

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

    void connectInput(int inputPort, PortEnd source);
    void addOutputTarget(int outputPort, PortEnd target);

private:
    ToolboxEntry& entry_;
    double x_;
    double y_;
    NameList<ValueList> variables_;
    std::vector<PortEnd> inputSources_;                 // by input port - 1
    std::map<int, std::vector<PortEnd>> outputTargets_; // in the order the wires were read
};

// A design read from its file without a canvas, for the generator: the definition file it
// names, each block with its type's edit variables overridden by the stored values, and the
// wires between numbered ports.
class RecordedDesign : private DesignReceiver {
public:
    DesignVerdict load(const QString& path, const QString& definitionsDirectory);

    const DefinitionSet& definitions() const { return definitions_; }
    // Where the definition file was read from, and what reading it found.
    const QString& definitionPath() const { return definitionPath_; }
    const std::vector<DefinitionDiagnostic>& definitionDiagnostics() const {
        return definitionDiagnostics_;
    }
    const QString& outputFileName() const { return outputFileName_; }
    std::vector<const BlockView*> blocks() const;

private:
    QString loadDefinitions(const QString& path) override;
    ToolboxEntry* blockType(const std::string& name) override;
    void settings(const SettingsRecord& record) override;
    void block(const BlockRecord& record, ToolboxEntry& type) override;
    void wire(const WireRecord& record, std::size_t firstBlock, std::size_t secondBlock) override;

    DefinitionSet definitions_;
    std::vector<std::unique_ptr<ToolboxEntry>> entries_;
    std::unordered_map<std::string, ToolboxEntry*> entriesByName_;
    std::vector<std::unique_ptr<RecordedBlock>> blocks_;
    QString outputFileName_;
    QString definitionPath_;
    std::vector<DefinitionDiagnostic> definitionDiagnostics_;
};
