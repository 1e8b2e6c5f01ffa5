#include "designfile/designrecordcodec.h"

#include "designfile/recordbuffer.h"

#include <algorithm>

namespace {

// Bytes a string takes in a record (the format ends it at its first zero byte).
std::size_t stringSize(const std::string& text) {
    return std::min(text.find('\0'), text.size()) + 1;
}

bool readI32(RecordBuffer& buffer, std::int32_t& value) {
    std::uint32_t raw;
    if (!buffer.readU32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

} // namespace

void encodeRecord(const HeaderRecord& record, RecordBuffer& buffer) {
    buffer.reset();
    buffer.appendString(record.name);
    buffer.appendU32(record.version);
}

void encodeRecord(const SettingsRecord& record, RecordBuffer& buffer) {
    buffer.reset();
    buffer.appendU8(SettingsRecord::Tag);
    buffer.appendString(record.definitionFile);
    buffer.appendString(record.outputFile);
    buffer.appendU32(std::uint32_t(record.x));
    buffer.appendU32(std::uint32_t(record.y));
    buffer.appendU32(std::uint32_t(record.width));
    buffer.appendU32(std::uint32_t(record.height));
}

void encodeRecord(const BlockRecord& record, RecordBuffer& buffer) {
    buffer.reset();
    // Sized up front: a block with many variables grows the buffer once, not per field.
    std::size_t size = 1 + 4 + stringSize(record.type) + 12 + 4;
    for (const BlockVariable& v : record.variables)
        size += stringSize(v.name) + stringSize(v.value);
    buffer.reserve(size);
    buffer.appendU8(BlockRecord::Tag);
    buffer.appendU32(record.number);
    buffer.appendString(record.type);
    buffer.appendF32(record.x);
    buffer.appendF32(record.y);
    buffer.appendF32(record.z);
    buffer.appendU32(std::uint32_t(record.variables.size()));
    for (const BlockVariable& v : record.variables) {
        buffer.appendString(v.name);
        buffer.appendString(v.value);
    }
}

void encodeRecord(const WireRecord& record, RecordBuffer& buffer) {
    buffer.reset();
    const std::size_t points = std::max<std::size_t>(record.points.size(), 1);
    buffer.reserve(1 + 16 + 1 + 4 + 8 * points);
    buffer.appendU8(WireRecord::Tag);
    buffer.appendU32(record.firstBlock);
    buffer.appendU32(record.firstPort);
    buffer.appendU32(record.secondBlock);
    buffer.appendU32(record.secondPort);
    buffer.appendU8(record.flags);
    buffer.appendU32(std::uint32_t(points - 1));
    if (record.points.empty()) {
        buffer.appendU32(0);
        buffer.appendU32(0);
    }
    for (const WirePoint& p : record.points) {
        buffer.appendU32(std::uint32_t(p.x));
        buffer.appendU32(std::uint32_t(p.y));
    }
}

bool decodeRecord(RecordBuffer& buffer, HeaderRecord& record) {
    return buffer.readString(record.name) && buffer.readU32(record.version);
}

bool decodeRecord(RecordBuffer& buffer, SettingsRecord& record) {
    return buffer.readString(record.definitionFile) && buffer.readString(record.outputFile) &&
           readI32(buffer, record.x) && readI32(buffer, record.y) &&
           readI32(buffer, record.width) && readI32(buffer, record.height);
}

bool decodeRecord(RecordBuffer& buffer, BlockRecord& record) {
    std::uint32_t count;
    if (!buffer.readU32(record.number) || !buffer.readString(record.type) ||
        !buffer.readF32(record.x) || !buffer.readF32(record.y) || !buffer.readF32(record.z) ||
        !buffer.readU32(count))
        return false;
    // Each pair takes at least its two zero bytes.
    if (count > buffer.remaining() / 2)
        return false;
    record.variables.resize(count);
    for (BlockVariable& v : record.variables) {
        if (!buffer.readString(v.name) || !buffer.readString(v.value))
            return false;
    }
    return true;
}

bool decodeRecord(RecordBuffer& buffer, WireRecord& record) {
    std::uint32_t segments;
    if (!buffer.readU32(record.firstBlock) || !buffer.readU32(record.firstPort) ||
        !buffer.readU32(record.secondBlock) || !buffer.readU32(record.secondPort) ||
        !buffer.readU8(record.flags) || !buffer.readU32(segments))
        return false;
    const std::uint64_t points = std::uint64_t(segments) + 1;
    if (points > buffer.remaining() / 8)
        return false;
    record.points.resize(std::size_t(points));
    for (WirePoint& p : record.points) {
        if (!readI32(buffer, p.x) || !readI32(buffer, p.y))
            return false;
    }
    return true;
}
