#include "definitions/token.h"

#include <new>
#include <utility>

namespace {

// A per-thread free list of Token-sized blocks, capped so a burst of pushed-back
// tokens does not keep memory for the rest of the run.
struct FreeBlock {
    FreeBlock* next;
};
struct TokenPool {
    FreeBlock* head = nullptr;
    int count = 0;
    ~TokenPool() {
        while (head) {
            FreeBlock* next = head->next;
            ::operator delete(head);
            head = next;
        }
    }
};
// Under AddressSanitizer, reuse would hide use-after-free of tokens: no pooling.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kPoolLimit = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kPoolLimit = 0;
#else
constexpr int kPoolLimit = 1024;
#endif
#else
constexpr int kPoolLimit = 1024;
#endif
thread_local TokenPool t_pool;

} // namespace

void* Token::operator new(std::size_t size) {
    if (size == sizeof(Token) && t_pool.head) {
        FreeBlock* block = t_pool.head;
        t_pool.head = block->next;
        --t_pool.count;
        return block;
    }
    return ::operator new(size);
}

void Token::operator delete(void* p, std::size_t size) {
    if (!p)
        return;
    if (size == sizeof(Token) && t_pool.count < kPoolLimit) {
        auto* block = static_cast<FreeBlock*>(p);
        block->next = t_pool.head;
        t_pool.head = block;
        ++t_pool.count;
        return;
    }
    ::operator delete(p);
}

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
