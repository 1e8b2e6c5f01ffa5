#pragma once

#include "definitions/charsource.h"
#include "definitions/dynstring.h"
#include "definitions/token.h"

#include <array>
#include <limits>
#include <memory>
#include <string>
#include <vector>

// Turns the characters of a source into tokens: skips white space and the
// configured comment forms, counts lines, keeps tokens given back, and holds the
// first error message of a read.
class Tokenizer {
public:
    explicit Tokenizer(std::unique_ptr<CharSource> source);
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;
    ~Tokenizer();

    // Never null; the last token given back comes out first.
    std::unique_ptr<Token> nextToken();
    void pushBack(std::unique_ptr<Token> token);

    // Slot 0: one-character line comment; 1: two-character line comment;
    // 2: opener and closer of a block comment; 3: opening and closing pairs.
    // nullptr, or a text shorter than the slot needs, leaves the slot unused.
    void setComment(int slot, const char* delimiters);

    // Records message (with " Line: N" unless line is 0) if none is recorded yet;
    // a null message discards the recorded one.
    void setError(const char* message, int line);
    const char* errorText() const;
    bool hasError() const { return m_hasError; }
    // The recorded message without its line suffix, and that line (0 when it has none).
    const std::string& errorMessage() const { return m_errorMessage; }
    int errorLine() const { return m_errorLine; }

    // The line on which a block comment opened that the input ended inside, else 0: the read
    // succeeds, but everything after the opener is ignored.
    int unclosedCommentLine() const { return m_unclosedCommentLine; }

    int line() const { return m_line; }

private:
    struct CommentSlot {
        bool used = false;
        std::array<int, 4> c{};
    };

    // Saturates instead of overflowing on absurdly long inputs.
    void countLine() { m_line += m_line < std::numeric_limits<int>::max(); }
    void skipBufferedSpace();
    int nextSignificant();
    int skipRestOfLine();
    void readString();
    void readIdentifier(int first);
    int readNumber(int first);
    std::unique_ptr<Token> make(int kind);

    std::vector<std::unique_ptr<Token>> m_pushedBack;
    std::unique_ptr<CharSource> m_source;
    int m_line = 1;
    std::string m_text;
    DynString m_error;
    bool m_hasError = false;
    std::string m_errorMessage;
    int m_errorLine = 0;
    int m_unclosedCommentLine = 0;
    std::array<CommentSlot, 4> m_comments;
    bool m_plainSpace = true; // no comment delimiter starts with white space
};
