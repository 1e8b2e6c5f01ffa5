#pragma once

#include "definitions/namelist.h"
#include "definitions/valuelist.h"

class BlockItem;

NameList<ValueList> copyVariables(const NameList<ValueList>& variables);
// Replaces the block's variables by a copy; a "name" with a value becomes the block's label.
void giveVariables(BlockItem& block, const NameList<ValueList>& variables);
