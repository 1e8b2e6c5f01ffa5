#include "definitions/token.h"

#include <utility>

Token::Token(int kind, int line, std::string text) : m_kind(kind), m_line(line) {
    if (hasText())
        m_text = std::move(text);
}

Token::~Token() = default;

bool Token::isIdentifier(const char* word) const {
    return m_kind == Identifier && (!word || m_text == word);
}

bool Token::isPunct(char c) const {
    return m_kind == Punct && (c == 0 || (!m_text.empty() && m_text[0] == c));
}
