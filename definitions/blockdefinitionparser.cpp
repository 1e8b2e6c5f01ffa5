// BlockDefinition::parser: the block statement of a definition file.
#include "definitions/blockdefinition.h"

#include "definitions/tokenizer.h"

namespace {

std::unique_ptr<BlockDefinition> fail(Tokenizer& tokenizer, const Token& token,
                                      const char* message) {
    tokenizer.setError(message, token.line());
    return nullptr;
}

} // namespace

std::unique_ptr<BlockDefinition> BlockDefinition::parser(Tokenizer& tokenizer) {
    auto token = tokenizer.nextToken();
    if (!token->isIdentifier("block")) {
        tokenizer.pushBack(std::move(token));
        return nullptr;
    }
    token = tokenizer.nextToken();
    if (!token->isIdentifier())
        return fail(tokenizer, *token, "Expecting name for block definition.");
    auto block = std::make_unique<BlockDefinition>(token->takeText());

    token = tokenizer.nextToken();
    if (!token->isPunct('('))
        return fail(tokenizer, *token, "Expecting parameter list for block definition.");

    bool hasInputs = false;
    for (;;) {
        token = tokenizer.nextToken();
        if (token->isIdentifier()) {
            block->addOutput(token->takeText());
            token = tokenizer.nextToken();
            if (token->isPunct(','))
                continue;
            if (!token->isPunct(')') && !token->isPunct(':'))
                return fail(tokenizer, *token,
                            "Expecting comma or colon in block parameter definition.");
        } else if (!token->isPunct(')') && !token->isPunct(':')) {
            return fail(tokenizer, *token, "Expecting output parameter for block definition.");
        }
        hasInputs = token->isPunct(':');
        break;
    }
    while (hasInputs) {
        token = tokenizer.nextToken();
        if (token->isIdentifier()) {
            block->addInput(token->takeText());
            token = tokenizer.nextToken();
            if (token->isPunct(','))
                continue;
        }
        if (!token->isPunct(')'))
            return fail(tokenizer, *token, "Expecting input parameter for block definition.");
        break;
    }

    token = tokenizer.nextToken();
    if (!token->isPunct('{'))
        return fail(tokenizer, *token, "Expecting a '{'");

    bool minus = false;
    for (;;) {
        token = tokenizer.nextToken();
        if (token->isPunct('}'))
            return block;
        if (token->isPunct('-')) {
            minus = true;
            continue;
        }
        if (!token->isIdentifier())
            return fail(tokenizer, *token, "Expecting a '}' or an identifier.");

        // Each modifier counts once, so "edit edit k" names the key edit.
        bool edit = false;
        bool collect = false;
        for (;;) {
            const char* message;
            if (!edit && token->isIdentifier("edit")) {
                edit = true;
                message = "Expecting an identifier after 'edit'.";
            } else if (!collect && token->isIdentifier("collect")) {
                collect = true;
                message = "Expecting an identifier after 'collect'.";
            } else {
                break;
            }
            token = tokenizer.nextToken();
            if (!token->isIdentifier())
                return fail(tokenizer, *token, message);
        }
        std::string key = token->takeText();

        token = tokenizer.nextToken();
        if (!token->isString())
            return fail(tokenizer, *token, "Expecting a string or an identifier.");
        std::string value = token->takeText();
        int line = token->line();
        if (edit)
            block->addEditName(key);
        if (collect)
            block->addCollectName(key);

        // Strings on one line join directly; a string on a later line starts a new line.
        for (;;) {
            token = tokenizer.nextToken();
            if (!token->isString()) {
                tokenizer.pushBack(std::move(token));
                break;
            }
            if (token->line() != line) {
                value += '\n';
                line = token->line();
            }
            value += token->textString();
        }

        if (!collect)
            block->appendValue(minus ? "-" + key : key, DynString(value.c_str()));
        minus = false;
    }
}
