#include "definitions/dynstring.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>

namespace {

void* defaultRealloc(void* p, std::size_t size) {
    return std::realloc(p, size);
}

DynString::Reallocator g_realloc = &defaultRealloc;

constexpr std::uint64_t kMaxCapacity = std::numeric_limits<std::uint32_t>::max();

} // namespace

DynString::Reallocator DynString::setReallocator(Reallocator fn) {
    Reallocator previous = g_realloc;
    g_realloc = fn ? fn : &defaultRealloc;
    return previous;
}

DynString::DynString(const char* text, std::uint32_t minimumSize, std::uint32_t growIncrement)
    : m_growIncrement(growIncrement) {
    if (!text)
        return;
    const std::size_t len = std::strlen(text);
    const std::uint64_t need = std::max<std::uint64_t>(std::uint64_t(len) + 1, minimumSize);
    if (!resize(need + growIncrement))
        return;
    std::memcpy(m_buffer, text, len + 1);
    m_length = std::uint32_t(len);
}

DynString::DynString(const DynString& other) {
    if (!other.m_buffer)
        return; // a copy of a string without a buffer also drops the increment
    m_growIncrement = other.m_growIncrement;
    if (!resize(other.m_capacity))
        return;
    std::memcpy(m_buffer, other.m_buffer, std::size_t(other.m_length) + 1);
    m_length = other.m_length;
}

DynString::DynString(DynString&& other) noexcept
    : m_buffer(std::exchange(other.m_buffer, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_growIncrement(other.m_growIncrement),
      m_length(std::exchange(other.m_length, 0)) {}

DynString& DynString::operator=(const DynString& other) {
    if (this != &other) {
        DynString copy(other);
        *this = std::move(copy);
    }
    return *this;
}

DynString& DynString::operator=(DynString&& other) noexcept {
    if (this != &other) {
        release();
        m_buffer = std::exchange(other.m_buffer, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_length = std::exchange(other.m_length, 0);
        m_growIncrement = other.m_growIncrement;
    }
    return *this;
}

DynString::~DynString() {
    release();
}

void DynString::release() {
    std::free(m_buffer);
    m_buffer = nullptr;
    m_capacity = 0;
    m_length = 0;
}

bool DynString::resize(std::uint64_t capacity) {
    if (capacity > kMaxCapacity) {
        release();
        return false;
    }
    void* p = g_realloc(m_buffer, std::size_t(capacity));
    if (!p) {
        release();
        return false;
    }
    m_buffer = static_cast<char*>(p);
    m_capacity = std::uint32_t(capacity);
    return true;
}

// Makes room for `need` bytes (terminator included), growing by the increment.
bool DynString::reserveFor(std::uint64_t need) {
    if (m_buffer && m_capacity >= need)
        return true;
    return resize(need + m_growIncrement);
}

bool DynString::ownsPointer(const char* p) const {
    std::less_equal<const char*> le;
    return m_buffer && le(m_buffer, p) && le(p, m_buffer + m_capacity);
}

void DynString::assign(const char* text) {
    if (!text) {
        if (m_buffer) {
            m_buffer[0] = '\0';
            m_length = 0;
        }
        return;
    }
    if (ownsPointer(text)) {
        // A tail of our own text: shift it down in place, no growth needed.
        const std::size_t len = std::strlen(text);
        std::memmove(m_buffer, text, len + 1);
        m_length = std::uint32_t(len);
        return;
    }
    const std::size_t len = std::strlen(text);
    if (!reserveFor(std::uint64_t(len) + 1))
        return;
    std::memcpy(m_buffer, text, len + 1);
    m_length = std::uint32_t(len);
}

void DynString::append(const char* text) {
    if (!text)
        return;
    if (!m_buffer) {
        assign(text);
        return;
    }
    // Appending our own text: remember where it sits, the buffer may move.
    const bool own = ownsPointer(text);
    const std::size_t offset = own ? std::size_t(text - m_buffer) : 0;
    const std::size_t len = std::strlen(text);
    if (!reserveFor(std::uint64_t(m_length) + len + 1))
        return;
    if (own)
        text = m_buffer + offset;
    std::memmove(m_buffer + m_length, text, len);
    m_length += std::uint32_t(len);
    m_buffer[m_length] = '\0';
}

void DynString::appendChar(char c) {
    // A NUL is an empty text, so it appends nothing.
    const char text[2] = {c, '\0'};
    append(text);
}

void DynString::replace(std::uint32_t position, std::uint32_t count, const char* text) {
    if (!m_buffer) {
        append(text);
        return;
    }
    position = std::min(position, m_length);
    count = std::min(count, m_length - position);
    std::string copy;
    if (text && ownsPointer(text)) {
        copy = text;
        text = copy.c_str();
    }
    const std::size_t len = text ? std::strlen(text) : 0;
    const std::uint64_t newLength = std::uint64_t(m_length) - count + len;
    if (!reserveFor(newLength + 1))
        return;
    const std::uint32_t tail = m_length - position - count;
    std::memmove(m_buffer + position + len, m_buffer + position + count, std::size_t(tail) + 1);
    if (len)
        std::memcpy(m_buffer + position, text, len);
    m_length = std::uint32_t(newLength);
}
