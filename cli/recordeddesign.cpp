#include "recordeddesign.h"

#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"

RecordedBlock::RecordedBlock(ToolboxEntry& entry, double x, double y)
    : entry_(entry), x_(x), y_(y), inputSources_(entry.inputNames().size()) {
    // A new block starts with its type's edit variables, as on the canvas.
    if (const BlockDefinition* definition = entry.definition()) {
        addEditVariables(*definition, variables_);
    }
}

PortEnd RecordedBlock::inputSource(int inputPort) const {
    if (inputPort < 1 || std::size_t(inputPort) > inputSources_.size()) {
        return {};
    }
    return inputSources_[std::size_t(inputPort) - 1];
}

void RecordedBlock::outputTargets(int outputPort, std::vector<PortEnd>& targets) const {
    const auto found = outputTargets_.find(outputPort);
    if (found != outputTargets_.end()) {
        targets.insert(targets.end(), found->second.begin(), found->second.end());
    }
}

void RecordedBlock::connectInput(int inputPort, PortEnd source) {
    inputSources_[std::size_t(inputPort) - 1] = source;
}

void RecordedBlock::addOutputTarget(int outputPort, PortEnd target) {
    outputTargets_[outputPort].push_back(target);
}

std::vector<const BlockView*> RecordedDesign::blocks() const {
    std::vector<const BlockView*> views;
    for (const auto& block : blocks_) {
        views.push_back(block.get());
    }
    return views;
}

DesignVerdict RecordedDesign::load(const QString& path, const QString& definitionsDirectory) {
    return readDesign(path, definitionsDirectory, *this);
}

QString RecordedDesign::loadDefinitions(const QString& path) {
    definitionPath_ = path;
    definitionDiagnostics_ = checkDefinitionFile(path, definitions_);
    for (const DefinitionDiagnostic& diagnostic : definitionDiagnostics_) {
        if (diagnostic.severity == DefinitionDiagnostic::Severity::Error) {
            return definitionErrorMessage(path, QString::fromLatin1(diagnostic.text()));
        }
    }
    for (auto& entry : makeCatalogue(definitions_)) {
        entriesByName_.emplace(entry->name(), entry.get());
        entries_.push_back(std::move(entry));
    }
    return QString();
}

ToolboxEntry* RecordedDesign::blockType(const std::string& name) {
    const auto found = entriesByName_.find(name);
    return found == entriesByName_.end() ? nullptr : found->second;
}

void RecordedDesign::settings(const SettingsRecord& record) {
    outputFileName_ = QString::fromLatin1(record.outputFile);
}

void RecordedDesign::block(const BlockRecord& record, ToolboxEntry& type) {
    auto block = std::make_unique<RecordedBlock>(type, record.x, record.y);
    for (const BlockVariable& variable : record.variables) {
        setOnlyValue(block->variables(), variable.name, variable.value.c_str());
    }
    blocks_.push_back(std::move(block));
}

void RecordedDesign::wire(const WireRecord& record, std::size_t firstBlock,
                          std::size_t secondBlock) {
    const bool firstIsInput = record.firstEndIsInput();
    RecordedBlock* input = blocks_[firstIsInput ? firstBlock : secondBlock].get();
    RecordedBlock* output = blocks_[firstIsInput ? secondBlock : firstBlock].get();
    const int inputPort = int(firstIsInput ? record.firstPort : record.secondPort);
    const int outputPort = int(firstIsInput ? record.secondPort : record.firstPort);
    input->connectInput(inputPort, {output, outputPort});
    output->addOutputTarget(outputPort, {input, inputPort});
}
