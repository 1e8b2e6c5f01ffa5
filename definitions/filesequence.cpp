#include "definitions/filesequence.h"

#include "definitions/tokenizer.h"

FileSequence::FileSequence() : m_fileName("") {}

FileSequence::~FileSequence() = default;

const char* FileSequence::firstStep() {
    m_cursor = 0;
    return nextStep();
}

const char* FileSequence::nextStep() {
    if (m_cursor >= m_steps.size())
        return nullptr;
    return m_steps[m_cursor++].c_str();
}

std::unique_ptr<FileSequence> FileSequence::parser(Tokenizer& tokenizer) {
    auto token = tokenizer.nextToken();
    if (!token->isIdentifier("file")) {
        tokenizer.pushBack(std::move(token));
        return nullptr;
    }
    auto sequence = std::make_unique<FileSequence>();
    token = tokenizer.nextToken();
    if (!token->isString()) {
        tokenizer.setError("Expecting a string after the file token.", token->line());
        return nullptr;
    }
    sequence->setFileName(token->text());
    for (;;) {
        token = tokenizer.nextToken();
        if (token->isPunct(';'))
            return sequence;
        if (!token->isIdentifier()) {
            tokenizer.setError("Expecting an identifier or a semicolon.", token->line());
            return nullptr;
        }
        sequence->addStep(token->takeText());
    }
}
