#include "canvas/blockvariables.h"

#include "canvas/blockitem.h"

#include <QString>
#include <memory>

NameList<ValueList> copyVariables(const NameList<ValueList>& variables) {
    NameList<ValueList> copy;
    for (const auto& entry : variables) {
        copy.insert(entry.name.c_str(), std::make_unique<ValueList>(*entry.payload));
    }
    return copy;
}

void giveVariables(BlockItem& block, const NameList<ValueList>& variables) {
    block.variables() = copyVariables(variables);
    if (const char* name = block.variable("name")) {
        block.setLabel(QString::fromLatin1(name));
    }
}
