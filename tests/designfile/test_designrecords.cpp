#include "designtesthelpers.h"

#include "designfile/designrecordcodec.h"
#include "designfile/designrecordreader.h"
#include "designfile/recordbuffer.h"

#include <gtest/gtest.h>

#include <QBuffer>

namespace {

const char* const kHeader = "0000000B 44657369676E00 00000001";

} // namespace

TEST(DesignRecords, EmptyDesignIsTheHeaderAndTheSettings) {
    DesignRecords design;
    EXPECT_EQ(designBytes(design), hexBytes(kHeader)); // the 15 bytes alone
    EXPECT_EQ(hexBytes(kHeader).size(), 15);

    design.settings = SettingsRecord{"logic.def", "out.txt", -8, 20, 640, 480};
    EXPECT_EQ(designBytes(design), hexBytes(kHeader) + hexBytes("00000023 70"
                                                                "6C6F6769632E64656600"
                                                                "6F75742E74787400"
                                                                "FFFFFFF8 00000014"
                                                                "00000280 000001E0"));
    EXPECT_EQ(readRecords(designBytes(design)), design);
}

TEST(DesignRecords, BlockAndWireBytes) {
    const BlockRecord block{7, "AND", 10.5f, -20.25f, 3.0f, {{"name", "g1"}}};
    EXPECT_EQ(recordBytes(block), hexBytes("00000021 6F 00000007 414E4400"
                                           "41280000 C1A20000 40400000"
                                           "00000001 6E616D6500 673100"));

    // A self-wire whose first end is its input, starting horizontally, with three
    // segments: four points, some negative.
    const WireRecord wire{3, 1, 3, 2, 0x03, {{-10, 5}, {20, 5}, {20, -7}, {40, -7}}};
    EXPECT_TRUE(wire.startsHorizontally());
    EXPECT_TRUE(wire.firstEndIsInput());
    EXPECT_EQ(recordBytes(wire), hexBytes("00000036 63 00000003 00000001 00000003 00000002 03"
                                          "00000003 FFFFFFF6 00000005 00000014 00000005"
                                          "00000014 FFFFFFF9 00000028 FFFFFFF9"));

    // No segments: one point, (0, 0) when the wire has none.
    const WireRecord bare{0, 2, 1, 1, WireRecord::StartsHorizontally, {}};
    EXPECT_FALSE(bare.firstEndIsInput());
    const QByteArray bareBytes = recordBytes(bare);
    EXPECT_EQ(bareBytes, hexBytes("0000001E 63 00000000 00000002 00000001 00000001 01"
                                  "00000000 00000000 00000000"));
    const DesignRecords read = readRecords(hexBytes(kHeader) + bareBytes + recordBytes(wire));
    ASSERT_EQ(read.wires.size(), 2u);
    EXPECT_EQ(read.wires[0].points, (std::vector<WirePoint>{{0, 0}}));
    EXPECT_EQ(read.wires[1], wire);
}

// Write, read, write: the same records and the same bytes, with Latin-1 text, a
// value longer than the reader's old 1023-byte limit and variables in any order.
TEST(DesignRecords, WriteReadWriteGivesIdenticalBytes) {
    DesignRecords design = smallDesign();
    design.settings->definitionFile = "m\xFC"
                                      "nchen.def";
    std::string longValue;
    for (int i = 0; i < 3000; ++i)
        longValue += char(0xE0 + i % 32);
    design.blocks.push_back({2, "NOTE", -0.1f, 1e9f, 0.0f, {{"text", longValue}, {"a", ""}}});
    design.wires.push_back({2, 1, 2, 1, 0, {{5, 5}}});

    const QByteArray first = designBytes(design);
    const DesignRecords read = readRecords(first);
    EXPECT_EQ(read, design);
    EXPECT_EQ(read.blocks[2].variables[0].value.size(), 3000u);
    EXPECT_EQ(designBytes(read), first);
}

// The reader hands records over in file order, whatever that order is, so the
// caller can apply them as they come (a wire before its blocks included).
TEST(DesignRecords, ReaderYieldsRecordsInFileOrder) {
    const DesignRecords small = smallDesign();
    SettingsRecord later = *small.settings;
    later.outputFile = "second.txt";
    const QByteArray bytes = hexBytes(kHeader) + recordBytes(small.wires[0]) +
                             recordBytes(*small.settings) + recordBytes(small.blocks[0]) +
                             recordBytes(later) + recordBytes(small.blocks[1]);
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    DesignRecordReader reader(device);
    using Item = DesignRecordReader::Item;
    ASSERT_EQ(reader.next(), Item::Header);
    EXPECT_EQ(reader.header(), HeaderRecord{});
    ASSERT_EQ(reader.next(), Item::Wire);
    EXPECT_EQ(reader.wire(), small.wires[0]);
    ASSERT_EQ(reader.next(), Item::Settings);
    EXPECT_EQ(reader.settings(), small.settings);
    ASSERT_EQ(reader.next(), Item::Block);
    EXPECT_EQ(reader.block(), small.blocks[0]);
    ASSERT_EQ(reader.next(), Item::Settings);
    EXPECT_EQ(reader.settings().outputFile, "second.txt");
    ASSERT_EQ(reader.next(), Item::Block);
    EXPECT_EQ(reader.block(), small.blocks[1]); // no variables left over from the first
    EXPECT_EQ(reader.next(), Item::EndOfFile);
    EXPECT_EQ(reader.next(), Item::EndOfFile);

    const DesignRecords all = readRecords(bytes);
    EXPECT_EQ(all.settings, later); // the last settings record counts
    EXPECT_EQ(all.blocks, small.blocks);
    EXPECT_FALSE(all.damaged);
}
