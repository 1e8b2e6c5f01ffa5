#include "definitions/catalogue.h"

#include "definitions/blockdefinition.h"
#include "definitions/definitionset.h"

#include <QDir>

namespace {
const char* firstValue(const BlockDefinition& block, const char* key) {
    const ValueList* values = block.section(key);
    return values ? values->text(0) : nullptr;
}
} // namespace

std::vector<std::unique_ptr<ToolboxEntry>> makeCatalogue(DefinitionSet& definitions) {
    std::vector<std::unique_ptr<ToolboxEntry>> catalogue;
    for (const auto& block : definitions.blocks()) {
        const BlockDefinition& definition = *block.payload;
        auto entry =
            std::make_unique<ToolboxEntry>(definition.name(), firstValue(definition, "shape"),
                                           firstValue(definition, "category"), block.payload);
        for (int i = 0; definition.input(i); ++i) {
            entry->addInput(definition.input(i));
        }
        for (int i = 0; definition.output(i); ++i) {
            entry->addOutput(definition.output(i));
        }
        catalogue.push_back(std::move(entry));
    }
    return catalogue;
}

void addEditVariables(const BlockDefinition& definition, NameList<ValueList>& variables) {
    for (const std::string& name : definition.editNames()) {
        const ValueList* section = definition.section(name.c_str());
        if (!section || section->count() == 0 || variables.find(name)) {
            continue;
        }
        auto values = std::make_unique<ValueList>();
        values->append(*section->at(0));
        variables.insert(name.c_str(), std::move(values));
    }
}

void setOnlyValue(NameList<ValueList>& variables, const std::string& name, const char* value) {
    if (ValueList* values = variables.find(name)) {
        *values = ValueList();
        values->append(DynString(value));
        return;
    }
    auto added = std::make_unique<ValueList>();
    added->append(DynString(value));
    variables.insert(name.c_str(), std::move(added));
}

bool isDefinitionFileName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\\') && !QDir::isAbsolutePath(name);
}
