#include "definitions/filecharsource.h"

namespace {
constexpr qint64 kChunkSize = 64 * 1024;
}

FileCharSource::FileCharSource(const QString& fileName) {
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    m_file = std::move(file);
    m_chunk = std::make_unique<unsigned char[]>(kChunkSize);
}

FileCharSource::~FileCharSource() = default;

bool FileCharSource::refill() {
    const qint64 n = m_file->read(reinterpret_cast<char*>(m_chunk.get()), kChunkSize);
    if (n > 0) {
        setWindow(m_chunk.get(), m_chunk.get() + n);
        return true;
    }
    if (n < 0) {
        // An unreadable file must not look like a complete one: drop the input.
        m_file.reset();
    } else {
        m_eof = true;
    }
    setWindow(nullptr, nullptr);
    return false;
}

int FileCharSource::get() {
    int c;
    if (takeHeld(c))
        return c;
    if (!m_file)
        return NoInput;
    if (m_eof)
        return EndOfInput;
    if (windowEmpty() && !refill())
        return m_file ? EndOfInput : NoInput;
    return takeFromWindow();
}

bool FileCharSource::atEnd() const {
    return !m_file || m_eof;
}

int FileCharSource::status() const {
    if (!m_file)
        return NoInput;
    return m_eof ? EndOfInput : 0;
}
