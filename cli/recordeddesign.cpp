#include "recordeddesign.h"

#include "definitions/catalogue.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "designfile/designcoordinate.h"
#include "designfile/designrecordreader.h"
#include "shapes/shapeinterpreter.h"
#include "shapes/shapesink.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Collects the port stubs an outline draws.
class PortCollector : public ShapeSink {
public:
    void port(QPoint, QPoint, bool isInput, int number) override {
        ports.emplace_back(number, isInput);
    }
    std::vector<std::pair<int, bool>> ports;
};

} // namespace

RecordedBlock::RecordedBlock(ToolboxEntry& entry, double x, double y)
    : entry_(entry), x_(x), y_(y), inputSources_(entry.inputNames().size()) {
    PortCollector collector;
    interpretShape(entry.shape(), collector);
    ports_ = std::move(collector.ports);
    // A new block starts with its type's edit variables, as on the canvas.
    if (const BlockDefinition* definition = entry.definition()) {
        addEditVariables(*definition, variables_);
    }
}

bool RecordedBlock::hasPort(int number, bool isInput) const {
    if (number < 1 || (isInput && std::size_t(number) > inputSources_.size())) {
        return false;
    }
    for (const auto& [portNumber, portIsInput] : ports_) {
        if (portNumber == number && portIsInput == isInput) {
            return true;
        }
    }
    return false;
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

bool RecordedDesign::loadDefinitions(const std::string& name, const QString& directory) {
    const QString fileName = QString::fromLatin1(name);
    const QString path = QDir(directory).filePath(fileName);
    if (!isDefinitionFileName(fileName)) {
        error_ = QString("File: %1\nError: \"File open error\"").arg(path);
        return false;
    }
    Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
    if (definitions_.read(tokenizer)) {
        error_ = QString("File: %1\nError: \"%2\"")
                     .arg(path, QString::fromLatin1(tokenizer.errorText()));
        return false;
    }
    for (auto& entry : makeCatalogue(definitions_)) {
        entriesByName_.emplace(entry->name(), entry.get());
        entries_.push_back(std::move(entry));
    }
    return true;
}

bool RecordedDesign::addBlock(const BlockRecord& record) {
    const auto entry = entriesByName_.find(record.type);
    if (entry == entriesByName_.end()) {
        error_ = QString("the design holds a block of type \"%1\", which the definition file "
                         "does not define")
                     .arg(QString::fromLatin1(record.type));
        return false;
    }
    // Placed as the editor places it, so that both order the blocks alike.
    auto block = std::make_unique<RecordedBlock>(*entry->second, designCoordinate(record.x),
                                                 designCoordinate(record.y));
    for (const BlockVariable& variable : record.variables) {
        setOnlyValue(block->variables(), variable.name, variable.value.c_str());
    }
    blocksByNumber_[record.number] = block.get();
    blocks_.push_back(std::move(block));
    return true;
}

bool RecordedDesign::addWire(const WireRecord& record) {
    const auto first = blocksByNumber_.find(record.firstBlock);
    const auto second = blocksByNumber_.find(record.secondBlock);
    if (first == blocksByNumber_.end() || second == blocksByNumber_.end()) {
        error_ = "a wire refers to a block that is not in the design before it";
        return false;
    }
    const bool firstIsInput = record.firstEndIsInput();
    RecordedBlock* input = firstIsInput ? first->second : second->second;
    RecordedBlock* output = firstIsInput ? second->second : first->second;
    const int inputPort = int(firstIsInput ? record.firstPort : record.secondPort);
    const int outputPort = int(firstIsInput ? record.secondPort : record.firstPort);
    if (record.firstPort > 100000 || record.secondPort > 100000 ||
        !input->hasPort(inputPort, true) || !output->hasPort(outputPort, false) ||
        input->inputSource(inputPort).block) {
        error_ = "a wire joins ports that its blocks do not have";
        return false;
    }
    input->connectInput(inputPort, {output, outputPort});
    output->addOutputTarget(outputPort, {input, inputPort});
    return true;
}

bool RecordedDesign::load(const QString& path, const QString& definitionsDirectory) {
    if (!QFileInfo(path).isReadable()) {
        error_ = QString("cannot read the design file %1").arg(path);
        return false;
    }
    DesignRecordReader reader(path);
    for (;;) {
        switch (reader.next()) {
        case DesignRecordReader::Item::Header:
        case DesignRecordReader::Item::UnknownTag:
            break;
        case DesignRecordReader::Item::Damaged:
            damaged_ = true;
            [[fallthrough]];
        case DesignRecordReader::Item::EndOfFile:
            if (!hasSettings_) {
                error_ = "the design file names no definition file";
                return false;
            }
            return true;
        case DesignRecordReader::Item::Settings:
            if (hasSettings_) {
                error_ = "the design file names its definition file twice";
                return false;
            }
            if (!loadDefinitions(reader.settings().definitionFile, definitionsDirectory)) {
                return false;
            }
            hasSettings_ = true;
            outputFileName_ = QString::fromLatin1(reader.settings().outputFile);
            break;
        case DesignRecordReader::Item::Block:
            if (!addBlock(reader.block())) {
                return false;
            }
            break;
        case DesignRecordReader::Item::Wire:
            if (!addWire(reader.wire())) {
                return false;
            }
            break;
        }
    }
}
