#pragma once

#include "definitions/namelist.h"
#include "definitions/toolboxentry.h"
#include "definitions/valuelist.h"

#include <QString>
#include <memory>
#include <vector>

class BlockDefinition;
class DefinitionSet;

// One entry per block type of the set, in the set's name order: name, first "shape" and first
// "category" values, and the type's input and output names.
std::vector<std::unique_ptr<ToolboxEntry>> makeCatalogue(DefinitionSet& definitions);

// A new block's own variables: one per edit name that the type also gives a value, holding a
// copy of that first value.
void addEditVariables(const BlockDefinition& definition, NameList<ValueList>& variables);

// Makes value the variable's only value, adding the variable when the block has none of that
// name (a design file stores one value per variable).
void setOnlyValue(NameList<ValueList>& variables, const std::string& name, const char* value);

// Whether a definition file name stored in a design names a file directly in the definitions
// directory; anything with a directory part could make the program read files elsewhere.
bool isDefinitionFileName(const QString& name);
