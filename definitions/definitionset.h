#pragma once

#include "definitions/blockdefinition.h"
#include "definitions/filesequence.h"
#include "definitions/namelist.h"
#include "definitions/valuelist.h"

#include <memory>
#include <vector>

class Tokenizer;

// Everything one definition file declares: block types by name, output file
// sequences in file order, and global items.
class DefinitionSet {
public:
    DefinitionSet();
    DefinitionSet(const DefinitionSet&) = delete;
    DefinitionSet& operator=(const DefinitionSet&) = delete;
    virtual ~DefinitionSet();

    // Parses a whole definition file into this set. Returns true when the read
    // failed; the message is then in the tokenizer, and what was read before the
    // error stays in the set.
    bool read(Tokenizer& tokenizer);

    std::vector<std::unique_ptr<FileSequence>>& sequences() { return m_sequences; }
    const std::vector<std::unique_ptr<FileSequence>>& sequences() const { return m_sequences; }
    const ValueList* globalValues(const char* name) const { return m_globals.find(name); }
    const NameList<ValueList>& globals() const { return m_globals; }
    NameList<BlockDefinition>& blocks() { return m_blocks; }
    const NameList<BlockDefinition>& blocks() const { return m_blocks; }

    // Building. addBlock refuses a name already present (the block stays with the caller).
    bool addBlock(std::unique_ptr<BlockDefinition>&& block);
    void addSequence(std::unique_ptr<FileSequence> sequence);
    void appendGlobalValue(const std::string& name, DynString value);

private:
    std::vector<std::unique_ptr<FileSequence>> m_sequences;
    NameList<ValueList> m_globals;
    NameList<BlockDefinition> m_blocks;
};

// Reads one global item (a name and one string) into the set. Returns true, with
// the tokens given back, when the next statement is not a global item.
bool parseGlobalItem(DefinitionSet& set, Tokenizer& tokenizer);
