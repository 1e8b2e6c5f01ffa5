#include "designfile/recordbuffer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

RecordBuffer::RecordBuffer() {
    growTo(InitialRoom);
}

void RecordBuffer::reset() {
    m_length = 0;
    m_position = 0;
    m_failed = false;
}

bool RecordBuffer::growTo(std::size_t room) {
    if (room <= m_room)
        return true;
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[room]);
    if (!data)
        return false;
    if (m_length > 0)
        std::memcpy(data.get(), m_data.get(), m_length);
    m_data = std::move(data);
    m_room = room;
    return true;
}

bool RecordBuffer::reserve(std::size_t room) {
    return room <= MaxLength && growTo(room);
}

bool RecordBuffer::makeRoom(std::size_t extra) {
    if (m_failed)
        return false;
    if (extra > MaxLength - m_length) {
        m_failed = true;
        return false;
    }
    const std::size_t need = m_length + extra;
    if (need > m_room && !growTo(need + GrowBy)) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t* RecordBuffer::fill(std::size_t length) {
    if (length > MaxLength)
        return nullptr;
    if (length > m_room && !growTo(length + GrowBy))
        return nullptr;
    m_length = length;
    m_position = 0;
    m_failed = false;
    return m_data.get();
}

void RecordBuffer::appendU8(std::uint8_t value) {
    if (!makeRoom(1))
        return;
    m_data[m_length++] = value;
}

void RecordBuffer::appendU32(std::uint32_t value) {
    if (!makeRoom(4))
        return;
    std::uint8_t* p = m_data.get() + m_length;
    p[0] = std::uint8_t(value >> 24);
    p[1] = std::uint8_t(value >> 16);
    p[2] = std::uint8_t(value >> 8);
    p[3] = std::uint8_t(value);
    m_length += 4;
}

void RecordBuffer::appendF32(float value) {
    appendU32(std::bit_cast<std::uint32_t>(value));
}

void RecordBuffer::appendString(std::string_view text) {
    const std::size_t size = std::min(text.find('\0'), text.size());
    if (!makeRoom(size + 1))
        return;
    if (size > 0)
        std::memcpy(m_data.get() + m_length, text.data(), size);
    m_data[m_length + size] = 0;
    m_length += size + 1;
}

bool RecordBuffer::readU8(std::uint8_t& value) {
    if (remaining() < 1)
        return false;
    value = m_data[m_position++];
    return true;
}

bool RecordBuffer::readU32(std::uint32_t& value) {
    if (remaining() < 4)
        return false;
    const std::uint8_t* p = m_data.get() + m_position;
    value = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
            std::uint32_t(p[3]);
    m_position += 4;
    return true;
}

bool RecordBuffer::readF32(float& value) {
    std::uint32_t bits;
    if (!readU32(bits))
        return false;
    value = std::bit_cast<float>(bits);
    return true;
}

bool RecordBuffer::readString(std::string& text) {
    if (remaining() == 0)
        return false;
    const std::uint8_t* start = m_data.get() + m_position;
    const void* zero = std::memchr(start, 0, remaining());
    if (!zero)
        return false;
    const std::size_t size = std::size_t(static_cast<const std::uint8_t*>(zero) - start);
    text.assign(reinterpret_cast<const char*>(start), size);
    m_position += size + 1;
    return true;
}
