#include "definitions/memorycharsource.h"

#include <utility>

MemoryCharSource::MemoryCharSource(std::string bytes) : m_bytes(std::move(bytes)) {
    const auto* begin = reinterpret_cast<const unsigned char*>(m_bytes.data());
    setWindow(begin, begin + m_bytes.size());
}

MemoryCharSource::~MemoryCharSource() = default;

int MemoryCharSource::get() {
    int c;
    if (takeHeld(c))
        return c;
    if (windowEmpty()) {
        m_eof = true;
        return EndOfInput;
    }
    return takeFromWindow();
}

bool MemoryCharSource::atEnd() const {
    return m_eof;
}

int MemoryCharSource::status() const {
    return m_eof ? EndOfInput : 0;
}
