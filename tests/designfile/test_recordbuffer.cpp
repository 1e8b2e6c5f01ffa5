#include "designfile/recordbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {
std::string contentOf(const RecordBuffer& b) {
    return std::string(reinterpret_cast<const char*>(b.data()), b.length());
}
} // namespace

TEST(RecordBuffer, GrowsToNeedPlus1024AndResetKeepsTheRoom) {
    RecordBuffer b;
    EXPECT_EQ(b.room(), 1024u);
    b.appendString(std::string(1023, 'a')); // with its zero byte exactly fills the room
    EXPECT_EQ(b.length(), 1024u);
    EXPECT_EQ(b.room(), 1024u);
    b.appendU32(7);
    EXPECT_EQ(b.room(), 1028u + 1024u);
    b.appendString(std::string(5000, 'b'));
    EXPECT_EQ(b.length(), 1028u + 5001u);
    EXPECT_EQ(b.room(), 1028u + 5001u + 1024u);
    EXPECT_EQ(std::memcmp(b.data(), std::string(1023, 'a').c_str(), 1024), 0);

    b.reset();
    EXPECT_EQ(b.length(), 0u);
    EXPECT_EQ(b.position(), 0u);
    EXPECT_EQ(b.room(), 1028u + 5001u + 1024u);
    b.appendU8(1);
    EXPECT_EQ(contentOf(b), std::string("\x01", 1));
}

TEST(RecordBuffer, NumbersAreMostSignificantByteFirst) {
    RecordBuffer b;
    b.appendU8(0xAB);
    b.appendU32(0x01020304);
    b.appendF32(10.5f);
    b.appendF32(-2.5f);
    b.appendU32(std::uint32_t(-3));
    EXPECT_EQ(contentOf(b), std::string("\xAB\x01\x02\x03\x04"
                                        "\x41\x28\x00\x00"
                                        "\xC0\x20\x00\x00"
                                        "\xFF\xFF\xFF\xFD",
                                        17));
    std::uint8_t u8 = 0;
    std::uint32_t u32 = 0;
    float f = 0, g = 0;
    ASSERT_TRUE(b.readU8(u8) && b.readU32(u32) && b.readF32(f) && b.readF32(g));
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u32, 0x01020304u);
    EXPECT_EQ(f, 10.5f);
    EXPECT_EQ(g, -2.5f);
    ASSERT_TRUE(b.readU32(u32));
    EXPECT_EQ(std::int32_t(u32), -3);
    EXPECT_EQ(b.remaining(), 0u);
}

// A read that does not fit leaves its destination and the read position alone,
// so a decoder can tell a short record from a complete one.
TEST(RecordBuffer, ReadsNeverPassTheEndOfTheContent) {
    RecordBuffer b;
    b.appendString("ab");
    b.appendU8(0x7F);
    b.appendU8('c'); // a string without its zero byte
    std::string s = "keep";
    std::uint32_t u32 = 99;
    float f = 1.25f;
    std::uint8_t u8 = 0;

    ASSERT_TRUE(b.readString(s));
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(b.position(), 3u);
    EXPECT_FALSE(b.readU32(u32));
    EXPECT_FALSE(b.readF32(f));
    EXPECT_EQ(u32, 99u);
    EXPECT_EQ(f, 1.25f);
    EXPECT_EQ(b.position(), 3u);
    ASSERT_TRUE(b.readU8(u8));
    EXPECT_EQ(u8, 0x7F);
    EXPECT_FALSE(b.readString(s));
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(b.position(), 4u);
    ASSERT_TRUE(b.readU8(u8));
    EXPECT_FALSE(b.readU8(u8));
    EXPECT_FALSE(b.readString(s));
    EXPECT_EQ(u8, 'c');

    // An empty string is just its zero byte.
    b.reset();
    b.appendString("");
    EXPECT_EQ(b.length(), 1u);
    ASSERT_TRUE(b.readString(s));
    EXPECT_EQ(s, "");
}

TEST(RecordBuffer, LongStringsStayWholeAndZeroBytesEndAString) {
    std::string value(70000, 'x');
    for (std::size_t i = 0; i < value.size(); ++i)
        value[i] = char('A' + i % 26);
    RecordBuffer b;
    b.appendString(value);
    b.appendString(std::string("cut\0here", 8));
    b.appendU8(5);
    std::string read, cut;
    std::uint8_t after = 0;
    ASSERT_TRUE(b.readString(read) && b.readString(cut) && b.readU8(after));
    EXPECT_EQ(read, value);
    EXPECT_EQ(cut, "cut");
    EXPECT_EQ(after, 5);
}

TEST(RecordBuffer, FillKeepsContentAndRefusesLengthsBeyondTheLengthField) {
    RecordBuffer b;
    std::uint8_t* p = b.fill(3);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abc", 3);
    p = b.fill(3000); // grows, keeping what was filled
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, "abc", 3), 0);
    EXPECT_EQ(b.length(), 3000u);
    EXPECT_EQ(b.room(), 4024u);
    if constexpr (std::numeric_limits<std::size_t>::max() > RecordBuffer::MaxLength) {
        EXPECT_EQ(b.fill(std::size_t(RecordBuffer::MaxLength) + 1), nullptr);
        EXPECT_FALSE(b.reserve(std::size_t(RecordBuffer::MaxLength) + 1));
    }
    EXPECT_EQ(b.room(), 4024u);
}
