#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The records of a design file as plain values. Strings are byte strings, stored
// without conversion (text from the user interface is Latin-1; callers convert).
// Whole numbers stored as u32 that may be negative are held signed and stored in
// two's complement.

struct HeaderRecord {
    std::string name = "Design";
    std::uint32_t version = 1;
    bool operator==(const HeaderRecord&) const = default;
};

struct SettingsRecord {
    static constexpr std::uint8_t Tag = 0x70;
    std::string definitionFile; // a file name within the definitions directory
    std::string outputFile;     // Generate's output file name
    // The main window's position and size, without its frame.
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const SettingsRecord&) const = default;
};

struct BlockVariable {
    std::string name;
    std::string value;
    bool operator==(const BlockVariable&) const = default;
};

struct BlockRecord {
    static constexpr std::uint8_t Tag = 0x6F;
    std::uint32_t number = 0;
    std::string type;
    float x = 0;
    float y = 0;
    float z = 0;
    std::vector<BlockVariable> variables;
    bool operator==(const BlockRecord&) const = default;
};

struct WirePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const WirePoint&) const = default;
};

struct WireRecord {
    static constexpr std::uint8_t Tag = 0x63;
    static constexpr std::uint8_t StartsHorizontally = 0x01;
    static constexpr std::uint8_t FirstEndIsInput = 0x02;

    std::uint32_t firstBlock = 0;
    std::uint32_t firstPort = 0; // ports count from 1
    std::uint32_t secondBlock = 0;
    std::uint32_t secondPort = 0;
    std::uint8_t flags = 0;
    // The start of every segment, then the end of the last: one more point than
    // segments. Written with no points, a wire is stored as no segments and (0, 0).
    std::vector<WirePoint> points;

    bool startsHorizontally() const { return flags & StartsHorizontally; }
    bool firstEndIsInput() const { return flags & FirstEndIsInput; }
    bool operator==(const WireRecord&) const = default;
};

// A whole design file read at once. Blocks and wires each keep file order; when
// the file holds several settings records, the last one is kept.
struct DesignRecords {
    std::optional<SettingsRecord> settings;
    std::vector<BlockRecord> blocks;
    std::vector<WireRecord> wires;
    // The read stopped at a record cut off or too short for its fields; what came
    // before is here.
    bool damaged = false;
    bool operator==(const DesignRecords&) const = default;
};
