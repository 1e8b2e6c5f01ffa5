#pragma once

#include <cstddef>
#include <cstdint>

// A growable zero-terminated byte string whose capacity follows a fixed rule:
// every allocation or reallocation reserves what is needed plus the grow increment.
// When memory runs out (or the capacity would not fit in 32 bits) the string
// becomes empty, with no buffer, instead of failing.
class DynString {
public:
    explicit DynString(const char* text = nullptr, std::uint32_t minimumSize = 0,
                       std::uint32_t growIncrement = 0);
    DynString(const DynString& other);
    DynString(DynString&& other) noexcept;
    DynString& operator=(const DynString& other);
    DynString& operator=(DynString&& other) noexcept;
    ~DynString();

    void assign(const char* text);
    void append(const char* text);
    void appendChar(char c);
    void replace(std::uint32_t position, std::uint32_t count, const char* text);

    std::uint32_t length() const { return m_buffer ? m_length : 0; }
    // The buffer, or nullptr when the string has none.
    const char* text() const { return m_buffer; }
    std::uint32_t capacity() const { return m_capacity; }
    std::uint32_t growIncrement() const { return m_growIncrement; }

    // Test seam: the realloc-like function used for every buffer change.
    // Returns the previous one; pass nullptr to restore the default.
    using Reallocator = void* (*)(void*, std::size_t);
    static Reallocator setReallocator(Reallocator fn);

private:
    bool reserveFor(std::uint64_t need);
    bool resize(std::uint64_t capacity);
    void release();
    bool ownsPointer(const char* p) const;

    char* m_buffer = nullptr;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_growIncrement = 0;
    std::uint32_t m_length = 0; // cached strlen of m_buffer
};
