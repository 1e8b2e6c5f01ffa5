#include "definitions/tokenizer.h"

#include <cstring>
#include <string>
#include <utility>

namespace {

// Character classes of the POSIX locale; bytes 0x80..0xFF are in none of them.
enum : unsigned char { Space = 1, Letter = 2, Digit = 4, Punctuation = 8 };

constexpr std::array<unsigned char, 256> makeClasses() {
    std::array<unsigned char, 256> t{};
    for (int c : {' ', '\t', '\n', '\v', '\f', '\r'})
        t[c] = Space;
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = Letter;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = Letter;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = Digit;
    for (int c = 0x21; c <= 0x7E; ++c)
        if (!t[c])
            t[c] = Punctuation;
    return t;
}

constexpr std::array<unsigned char, 256> kClasses = makeClasses();

bool is(int c, unsigned char cls) {
    return c >= 0 && (kClasses[c] & cls);
}
bool isIdentChar(int c) {
    return c == '_' || is(c, Letter | Digit);
}
bool isHexLetter(int c) {
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Value of a hexadecimal digit, or -1.
int hexValue(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int toLower(int c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Longer texts are handed to their token instead of copied, so a huge literal
// is never copied twice nor keeps the buffer large for the rest of the read.
constexpr std::size_t kMoveTextAbove = 4096;
constexpr std::size_t kTextReserve = 128;

} // namespace

Tokenizer::Tokenizer(std::unique_ptr<CharSource> source) : m_source(std::move(source)) {
    m_text.reserve(kTextReserve);
}

Tokenizer::~Tokenizer() = default;

void Tokenizer::pushBack(std::unique_ptr<Token> token) {
    if (token)
        m_pushedBack.push_back(std::move(token));
}

void Tokenizer::setComment(int slot, const char* delimiters) {
    static constexpr std::size_t kNeeded[4] = {1, 2, 2, 4};
    if (slot < 0 || slot > 3)
        return;
    CommentSlot& s = m_comments[std::size_t(slot)];
    s = CommentSlot{};
    if (delimiters && std::strlen(delimiters) >= kNeeded[slot]) {
        s.used = true;
        for (std::size_t i = 0; i < kNeeded[slot]; ++i)
            s.c[i] = static_cast<unsigned char>(delimiters[i]);
    }
    m_plainSpace = true;
    for (const CommentSlot& other : m_comments)
        if (other.used && is(other.c[0], Space))
            m_plainSpace = false;
}

void Tokenizer::setError(const char* message, int line) {
    if (!m_hasError && message) {
        m_error = DynString(message);
        if (line != 0)
            m_error.append((" Line: " + std::to_string(line)).c_str());
        m_hasError = true;
        m_errorMessage = message;
        m_errorLine = line;
    } else if (m_hasError && !message) {
        m_error = DynString();
        m_hasError = false;
        m_errorMessage.clear();
        m_errorLine = 0;
    }
}

const char* Tokenizer::errorText() const {
    if (!m_hasError)
        return nullptr;
    return m_error.text() ? m_error.text() : "";
}

// Takes white space straight from the buffered window (counting line breaks),
// which is only right while no comment delimiter starts with white space.
void Tokenizer::skipBufferedSpace() {
    CharSource& src = *m_source;
    const unsigned char* b = src.bufferedBegin();
    const unsigned char* e = src.bufferedEnd();
    const unsigned char* p = b;
    for (; p != e && kClasses[*p] == Space; ++p)
        if (*p == '\n')
            countLine();
    src.skipBuffered(std::size_t(p - b));
}

int Tokenizer::skipRestOfLine() {
    CharSource& src = *m_source;
    for (;;) {
        const unsigned char* b = src.bufferedBegin();
        const unsigned char* e = src.bufferedEnd();
        if (b != e) {
            const void* nl = std::memchr(b, '\n', std::size_t(e - b));
            if (nl) {
                src.skipBuffered(std::size_t(static_cast<const unsigned char*>(nl) - b) + 1);
                return '\n';
            }
            src.skipBuffered(std::size_t(e - b));
        }
        const int c = src.get();
        if (c == '\n' || c < 0)
            return c;
    }
}

// The next character that may start a token, with comments skipped.
int Tokenizer::nextSignificant() {
    CharSource& src = *m_source;
    const CommentSlot& s0 = m_comments[0];
    const CommentSlot& s1 = m_comments[1];
    const CommentSlot& s2 = m_comments[2];
    const CommentSlot& s3 = m_comments[3];
    for (;;) {
        const int c = src.fastGet();
        if (c < 0)
            return c;
        if (s0.used && c == s0.c[0])
            return skipRestOfLine();
        if (s1.used && c == s1.c[0]) {
            const int n = src.get();
            if (n == s1.c[1])
                return skipRestOfLine();
            src.unget(n);
        }
        if (s2.used && c == s2.c[0]) {
            const int opened = m_line;
            int n;
            do {
                n = src.fastGet();
                if (n < 0) {
                    m_unclosedCommentLine = opened;
                    return n;
                }
                if (n == '\n')
                    countLine();
            } while (n != s2.c[1]);
            continue;
        }
        if (s3.used && c == s3.c[0]) {
            int n = src.get();
            if (n != s3.c[1]) {
                src.unget(n);
                return c;
            }
            // The opener's first character starts as "previous", so the opening
            // pair can never be half of the closing pair.
            int previous = s3.c[0];
            const int opened = m_line;
            for (;;) {
                n = src.fastGet();
                if (n < 0) {
                    m_unclosedCommentLine = opened;
                    return n;
                }
                if (n == '\n')
                    countLine();
                if (previous == s3.c[2] && n == s3.c[3])
                    break;
                previous = n;
            }
            continue;
        }
        return c;
    }
}

std::unique_ptr<Token> Tokenizer::make(int kind) {
    if (kind < Token::Punct)
        return std::make_unique<Token>(kind, m_line);
    if (m_text.size() > kMoveTextAbove) {
        auto token = std::make_unique<Token>(kind, m_line, std::move(m_text));
        m_text = std::string();
        m_text.reserve(kTextReserve);
        return token;
    }
    return std::make_unique<Token>(kind, m_line, m_text);
}

std::unique_ptr<Token> Tokenizer::nextToken() {
    m_text.clear();
    if (!m_pushedBack.empty()) {
        auto token = std::move(m_pushedBack.back());
        m_pushedBack.pop_back();
        return token;
    }
    if (!m_source || m_source->status() != 0)
        return make(Token::SourceError);
    for (;;) {
        if (m_plainSpace)
            skipBufferedSpace();
        const int c = nextSignificant();
        if (c == '\n')
            countLine();
        if (c == CharSource::EndOfInput)
            return make(Token::EndOfInput);
        if (c < 0) // the input went away part way through
            return make(Token::SourceError);
        if (is(c, Space))
            continue;
        if (c == '"') {
            readString();
            return make(Token::String);
        }
        if (c == '_' || is(c, Letter)) {
            readIdentifier(c);
            return make(Token::Identifier);
        }
        if (is(c, Digit))
            return make(readNumber(c));
        if (is(c, Punctuation)) {
            m_text.push_back(char(c));
            return make(Token::Punct);
        }
        return make(Token::BadChar);
    }
}

void Tokenizer::readIdentifier(int first) {
    CharSource& src = *m_source;
    m_text.push_back(char(first));
    for (;;) {
        // Take whole runs from the buffered window; the character after the run
        // stays unread, exactly as if it had been read and given back.
        const unsigned char* b = src.bufferedBegin();
        const unsigned char* e = src.bufferedEnd();
        const unsigned char* p = b;
        while (p != e && isIdentChar(*p))
            ++p;
        m_text.append(reinterpret_cast<const char*>(b), std::size_t(p - b));
        src.skipBuffered(std::size_t(p - b));
        if (p != e)
            return;
        const int c = src.get();
        if (!isIdentChar(c)) {
            src.unget(c);
            return;
        }
        m_text.push_back(char(c));
    }
}

void Tokenizer::readString() {
    CharSource& src = *m_source;
    for (;;) {
        const unsigned char* b = src.bufferedBegin();
        const unsigned char* e = src.bufferedEnd();
        const unsigned char* p = b;
        while (p != e && *p != '"' && *p != '\\' && *p != 0)
            ++p;
        m_text.append(reinterpret_cast<const char*>(b), std::size_t(p - b));
        src.skipBuffered(std::size_t(p - b));

        int c = src.fastGet();
        if (c < 0 || c == '"')
            return; // the end of input ends the string quietly
        if (c == '\\') {
            c = src.fastGet();
            if (c < 0)
                return;
            const int d = hexValue(c);
            if (d >= 0) {
                // One digit d means d * 16; a second digit is added to it.
                c = d * 16;
                const int next = src.get();
                const int d2 = hexValue(next);
                if (d2 >= 0)
                    c += d2;
                else
                    src.unget(next);
            } else if (c == 'n') {
                c = '\n';
            }
        }
        // A NUL cannot live in a zero-terminated value: it is dropped, as an
        // empty text would be.
        if (c != 0)
            m_text.push_back(char(c));
    }
}

int Tokenizer::readNumber(int first) {
    CharSource& src = *m_source;
    int kind = Token::Integer;
    bool exponentAllowed = true;
    bool afterFirst = true;
    int c = first;
    for (;;) {
        if (kind == Token::HexInteger)
            c = toLower(c);
        m_text.push_back(char(c));
        c = src.fastGet();
        if (afterFirst) {
            afterFirst = false;
            if (first == '0' && (c == 'x' || c == 'X')) {
                kind = Token::HexInteger;
                continue;
            }
        }
        if (c == '.' && kind == Token::Integer) {
            kind = Token::Real;
            continue;
        }
        if ((c == 'e' || c == 'E') && exponentAllowed && kind != Token::HexInteger) {
            kind = Token::Real;
            exponentAllowed = false;
            m_text.push_back('e');
            c = src.fastGet();
            if (c == '+' || c == '-')
                continue;
        }
        if (is(c, Digit) || (kind == Token::HexInteger && isHexLetter(c)))
            continue;
        src.unget(c);
        return kind;
    }
}
