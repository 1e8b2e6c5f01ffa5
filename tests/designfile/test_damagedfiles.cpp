// Damaged and truncated design files: each must read without a crash (the
// sanitizer build runs these) and end the way the reader promises.
#include "designtesthelpers.h"

#include "designfile/designfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

// A record with its length prefix computed from the content's hex digits.
QByteArray rec(const char* hex) {
    return recordOf(hexBytes(hex));
}

const QByteArray kHeader = rec("44657369676E00 00000001");
// Block 1 of type "A" at (0, 0, 0) with no variables.
const QByteArray kBlock = rec("6F 00000001 4100 00000000 00000000 00000000 00000000");

} // namespace

// Cut after any byte, a design reads as the records that are whole, then ends
// quietly: a truncated last record is not damage.
TEST(DamagedFiles, TruncatedAtEveryByte) {
    const DesignRecords design = smallDesign();
    const QByteArray bytes = designBytes(design);
    std::vector<int> recordEnds;
    for (int at = 0; at + 4 <= bytes.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
        at += 4 + int(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]);
        recordEnds.push_back(at);
    }
    ASSERT_EQ(recordEnds.size(), 6u);
    ASSERT_EQ(recordEnds.back(), bytes.size());
    const std::string letters = "HSBBWW";

    for (int cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        std::size_t whole = 0;
        while (whole < recordEnds.size() && recordEnds[whole] <= cut)
            ++whole;
        const QByteArray prefix = bytes.left(cut);
        EXPECT_EQ(walk(prefix), letters.substr(0, whole) + "E");

        const DesignRecords read = readRecords(prefix);
        EXPECT_FALSE(read.damaged);
        EXPECT_EQ(read.settings.has_value(), whole >= 2);
        const std::size_t blocks = whole < 3 ? 0 : std::min<std::size_t>(whole - 2, 2);
        const std::size_t wires = whole < 5 ? 0 : whole - 4;
        EXPECT_EQ(read.blocks,
                  std::vector<BlockRecord>(design.blocks.begin(), design.blocks.begin() + blocks));
        EXPECT_EQ(read.wires,
                  std::vector<WireRecord>(design.wires.begin(), design.wires.begin() + wires));
    }
}

TEST(DamagedFiles, MissingEmptyAndTinyFilesEndQuietly) {
    QTemporaryDir dir;
    const DesignRecords missing = readDesignFile(dir.filePath("missing.des"));
    EXPECT_EQ(missing, DesignRecords{});
    EXPECT_EQ(readDesignFile(dir.path()), DesignRecords{}); // a directory
    for (const char* hex : {"", "00", "0000000B 4465"}) {
        SCOPED_TRACE(hex);
        writeBytes(dir.filePath("tiny.des"), hexBytes(hex));
        EXPECT_EQ(readDesignFile(dir.filePath("tiny.des")), DesignRecords{});
    }
}

// Records too short for their fields stop the walk at once; what came before is
// kept. The first three cases have a zero byte in the next record, which a reader
// that left its record would take as the end of a string.
TEST(DamagedFiles, ShortRecordsAndUnterminatedStringsAreDamage) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::string walked;
    };
    const std::vector<Case> cases = {
        {"settings name without zero", kHeader + rec("70 616263") + kBlock, "HD"},
        {"header without zero", rec("446573") + kBlock, "D"},
        {"variable value without zero",
         kHeader + kBlock + rec("6F 00000002 4100 00000000 00000000 00000000 00000001 6E00 6767") +
             kBlock,
         "HBD"},
        {"header without version", rec("44657369676E00") + kBlock, "D"},
        {"empty record has no tag", kHeader + rec("") + kBlock, "HD"},
        {"block ends before z", kHeader + kBlock + rec("6F 00000002 4100 3F800000 00000000"),
         "HBD"},
        {"settings without height", kHeader + rec("70 6100 6200 00000000 00000000 000000"), "HD"},
        {"four billion variables",
         kHeader + rec("6F 00000001 4100 00000000 00000000 00000000 FFFFFFFF 00 00") + kBlock,
         "HD"},
        {"four billion segments",
         kHeader + kBlock +
             rec("63 00000001 00000001 00000001 00000002 00 FFFFFFFF 00000000 00000000"),
         "HBD"},
        {"three segments, two points",
         kHeader + kBlock +
             rec("63 00000001 00000001 00000001 00000002 00 00000003 00000000 00000000 "
                 "00000001 00000001"),
         "HBD"},
        {"wire ends inside its flags",
         kHeader + kBlock + rec("63 00000001 00000001 00000001 00000002"), "HBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(walk(c.bytes), c.walked);
        const DesignRecords read = readRecords(c.bytes);
        EXPECT_TRUE(read.damaged);
        EXPECT_EQ(read.blocks.size(),
                  std::size_t(std::count(c.walked.begin(), c.walked.end(), 'B')));
    }
}

// Unknown tags are skipped; an oversized length is a truncated last record and
// ends the read quietly; bytes after a record's fields are ignored.
TEST(DamagedFiles, UnknownTagsOversizedLengthsAndTrailingBytes) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::string walked;
    };
    const QByteArray blockContent =
        hexBytes("6F 00000001 4100 00000000 00000000 00000000 00000000");
    const std::vector<Case> cases = {
        {"unknown tags", kHeader + rec("41 0000") + kBlock + rec("FF") + kBlock, "HUBUBE"},
        {"length far past the end", kHeader + kBlock + hexBytes("FFFFFFFF 6F 00000001"), "HBE"},
        {"length one past the end", kHeader + kBlock + hexBytes("00000018") + blockContent, "HBE"},
        {"oversized first record", hexBytes("7FFFFFFF 44657369676E00 00000001"), "E"},
        {"trailing bytes", kHeader + recordOf(blockContent + hexBytes("ABCD")) + kBlock, "HBBE"},
    };
    ASSERT_EQ(blockContent.size(), 0x17);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(walk(c.bytes), c.walked);
        EXPECT_FALSE(readRecords(c.bytes).damaged);
    }
}
