#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// One record in memory: its content bytes, their length and a read position.
//
// Numbers are stored most significant byte first whatever the host's order. The
// room starts at 1024 bytes and, when an append does not fit, grows to the length
// needed plus 1024. Reads never pass the end of the content: a read that does not
// fit returns false, leaves its destination unchanged and does not advance.
//
// When memory runs out, or the content would outgrow the record's 32-bit length
// field, the append is dropped and the buffer is marked failed until reset(); a
// record stream refuses to write a failed buffer, so nothing partial reaches a file.
class RecordBuffer {
public:
    static constexpr std::size_t InitialRoom = 1024;
    static constexpr std::size_t GrowBy = 1024;
    static constexpr std::size_t MaxLength = 0xFFFFFFFFu;

    RecordBuffer();
    RecordBuffer(const RecordBuffer&) = delete;
    RecordBuffer& operator=(const RecordBuffer&) = delete;

    // Empties the content and rewinds; keeps the room.
    void reset();

    void appendU8(std::uint8_t value);
    void appendU32(std::uint32_t value);
    void appendF32(float value);
    // Appends the bytes and a zero byte. The format has no way to hold a zero byte
    // inside a string, so the string ends at its first one.
    void appendString(std::string_view text);

    bool readU8(std::uint8_t& value);
    bool readU32(std::uint32_t& value);
    bool readF32(float& value);
    // Reads up to the next zero byte and advances past it; false when the content
    // holds no zero byte from the read position on.
    bool readString(std::string& text);

    // Makes room for at least `room` bytes in one step (false if it cannot).
    bool reserve(std::size_t room);
    // Replaces the content with `length` bytes for the caller to fill, rewinding the
    // read position; bytes already in the content are kept. Null when there is no room.
    std::uint8_t* fill(std::size_t length);

    const std::uint8_t* data() const { return m_data.get(); }
    std::size_t length() const { return m_length; }
    std::size_t room() const { return m_room; }
    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_length - m_position; }
    bool failed() const { return m_failed; }

private:
    // Room for `extra` more bytes after the content, by the growth rule.
    bool makeRoom(std::size_t extra);
    bool growTo(std::size_t room);

    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_room = 0;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
    bool m_failed = false;
};
