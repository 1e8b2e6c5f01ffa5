#pragma once

#include <cstddef>
#include <string>

// One lexical unit of a definition file.
class Token {
public:
    enum Kind : int {
        BadChar = -3,     // a character that starts no token
        SourceError = -2, // no source, or the source is not ready
        EndOfInput = -1,
        Punct = 0,
        Integer = 1,
        Real = 2,
        HexInteger = 3,
        String = 4,
        Identifier = 5,
    };

    // The text is kept only for the kinds that carry one (Punct and above).
    Token(int kind, int line, std::string text = {});
    virtual ~Token();

    int kind() const { return m_kind; }
    int line() const { return m_line; }
    bool hasText() const { return m_kind >= Punct; }
    // The token's characters, or nullptr for the kinds without text.
    const char* text() const { return hasText() ? m_text.c_str() : nullptr; }
    const std::string& textString() const { return m_text; }
    // Hands the text over to the caller (for long string literals).
    std::string takeText() { return std::move(m_text); }

    bool isIdentifier(const char* word = nullptr) const;
    bool isPunct(char c = 0) const;
    bool isString() const { return m_kind == String; }

    // Tokens are made and dropped by the million; plain Tokens reuse their memory.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

private:
    int m_kind;
    int m_line;
    std::string m_text;
};
