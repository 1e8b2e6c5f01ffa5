#pragma once

#include "definitions/charsource.h"
#include "definitions/definitionset.h"
#include "definitions/tokenizer.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

// A token reduced to what tests compare.
struct Tok {
    int kind;
    std::string text;
    int line;
    bool operator==(const Tok&) const = default;
};
void PrintTo(const Tok& t, std::ostream* os);

// Sets the comment slots the way the definition file reader does.
void setReaderComments(Tokenizer& tokenizer);

std::unique_ptr<Tokenizer> memoryTokenizer(std::string bytes, bool readerComments = true);

// Every token up to and including the first EndOfInput or SourceError.
std::vector<Tok> drain(Tokenizer& tokenizer);
std::vector<Tok> tokenize(std::string bytes, bool readerComments = true);

// Hides the buffered window of another source, so every character goes through get().
class PlainSource : public CharSource {
public:
    explicit PlainSource(std::unique_ptr<CharSource> inner) : m_inner(std::move(inner)) {}
    int get() override;
    bool atEnd() const override { return m_inner->atEnd(); }
    int status() const override { return m_inner->status(); }

private:
    std::unique_ptr<CharSource> m_inner;
};

// The outcome of reading a definition text: empty error on success.
struct ReadResult {
    bool failed;
    std::string error;
};
ReadResult readText(DefinitionSet& set, std::string text);

// Writes bytes to name inside dir and returns the full path.
QString writeFile(const QTemporaryDir& dir, const char* name, const std::string& bytes);

// The values of a value list as strings (empty when the list is null).
std::vector<std::string> values(const ValueList* list);
