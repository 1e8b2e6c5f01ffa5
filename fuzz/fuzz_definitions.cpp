// Fuzzes the tokenizer and the definition file parser on in-memory input.
//
// Beyond not crashing it checks what must hold for any input: tokens carry text
// exactly for the kinds that have text, lines never go down, reading through the
// buffered window gives the same tokens as plain get(), and a read either
// succeeds without a message or fails with one.
#include "definitions/definitionset.h"
#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class PlainSource : public CharSource {
public:
    explicit PlainSource(std::string bytes) : m_inner(std::move(bytes)) {}
    int get() override {
        int c;
        if (takeHeld(c))
            return c;
        return m_inner.get();
    }
    bool atEnd() const override { return m_inner.atEnd(); }
    int status() const override { return m_inner.status(); }

private:
    MemoryCharSource m_inner;
};

void check(bool ok) {
    if (!ok)
        std::abort();
}

struct Seen {
    int kind;
    int line;
    std::string text;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> tokens(Tokenizer& t) {
    // Slot 2 is unused by the reader; give it a pair here so it is fuzzed too.
    t.setComment(0, "#");
    t.setComment(1, "//");
    t.setComment(2, "{}");
    t.setComment(3, "/**/");
    std::vector<Seen> out;
    int line = 1;
    for (;;) {
        auto token = t.nextToken();
        check(token != nullptr);
        check(token->kind() >= Token::BadChar && token->kind() <= Token::Identifier);
        check((token->text() != nullptr) == (token->kind() >= Token::Punct));
        check(token->line() >= line);
        line = token->line();
        out.push_back({token->kind(), token->line(), token->textString()});
        if (token->kind() == Token::EndOfInput || token->kind() == Token::SourceError)
            return out;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    DefinitionSet set;
    Tokenizer reader(std::make_unique<MemoryCharSource>(bytes));
    const bool failed = set.read(reader);
    check(failed == reader.hasError());
    check(!failed || reader.errorText()[0] != '\0');

    Tokenizer fast(std::make_unique<MemoryCharSource>(bytes));
    Tokenizer plain(std::make_unique<PlainSource>(bytes));
    check(tokens(fast) == tokens(plain));
    return 0;
}
