#include "definitions/definitionset.h"

#include "definitions/tokenizer.h"

DefinitionSet::DefinitionSet() = default;

DefinitionSet::~DefinitionSet() = default;

bool DefinitionSet::addBlock(std::unique_ptr<BlockDefinition>&& block) {
    return block && m_blocks.insert(block->name(), std::move(block));
}

void DefinitionSet::addSequence(std::unique_ptr<FileSequence> sequence) {
    if (sequence)
        m_sequences.push_back(std::move(sequence));
}

void DefinitionSet::appendGlobalValue(const std::string& name, DynString value) {
    ValueList* list = m_globals.find(name);
    if (!list) {
        auto created = std::make_unique<ValueList>();
        list = created.get();
        m_globals.insert(name.c_str(), std::move(created));
    }
    list->append(std::move(value));
}

bool parseGlobalItem(DefinitionSet& set, Tokenizer& tokenizer) {
    auto name = tokenizer.nextToken();
    if (!name->isIdentifier()) {
        tokenizer.pushBack(std::move(name));
        return true;
    }
    auto value = tokenizer.nextToken();
    if (!value->isString()) {
        tokenizer.pushBack(std::move(value));
        tokenizer.pushBack(std::move(name));
        return true;
    }
    set.appendGlobalValue(name->textString(), DynString(value->text()));
    return false;
}

bool DefinitionSet::read(Tokenizer& tokenizer) {
    tokenizer.setComment(0, "#");
    tokenizer.setComment(1, "//");
    tokenizer.setComment(3, "/**/");

    auto token = tokenizer.nextToken();
    if (token->kind() == Token::SourceError) {
        tokenizer.setError("File open error", 0);
        return true;
    }
    tokenizer.pushBack(std::move(token));

    for (;;) {
        auto block = BlockDefinition::parser(tokenizer);
        if (tokenizer.hasError())
            return true;
        if (block) {
            // A second block of the same name is dropped; the first one stays.
            addBlock(std::move(block));
            continue;
        }
        auto sequence = FileSequence::parser(tokenizer);
        if (tokenizer.hasError())
            return true;
        if (sequence) {
            addSequence(std::move(sequence));
            continue;
        }
        if (!parseGlobalItem(*this, tokenizer))
            continue;

        token = tokenizer.nextToken();
        const int kind = token->kind();
        const int line = token->line();
        tokenizer.pushBack(std::move(token));
        if (kind == Token::EndOfInput)
            return false;
        if (kind == Token::SourceError)
            tokenizer.setError("File error while reading", 0);
        else
            tokenizer.setError("Syntax error.", line);
        return true;
    }
}
