#include "designfile/recordbuffer.h"

#include <gtest/gtest.h>

#include <string>

TEST(RecordBuffer, GrowsToNeedPlus1024AndResetKeepsTheRoom) {
    RecordBuffer b;
    EXPECT_EQ(b.room(), 1024u);
    b.appendString(std::string(1023, 'a')); // with its zero byte exactly fills the room
    EXPECT_EQ(b.room(), 1024u);
    b.appendU32(7);
    EXPECT_EQ(b.room(), 1028u + 1024u);
    b.appendString(std::string(5000, 'b'));
    EXPECT_EQ(b.length(), 1028u + 5001u);
    EXPECT_EQ(b.room(), 1028u + 5001u + 1024u);

    b.reset();
    EXPECT_EQ(b.length(), 0u);
    EXPECT_EQ(b.room(), 1028u + 5001u + 1024u);
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
    EXPECT_FALSE(b.readU32(u32));
    EXPECT_FALSE(b.readF32(f));
    EXPECT_EQ(u32, 99u);
    EXPECT_EQ(f, 1.25f);
    EXPECT_EQ(b.position(), 3u);
    ASSERT_TRUE(b.readU8(u8));
    EXPECT_FALSE(b.readString(s));
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(b.position(), 4u);
    ASSERT_TRUE(b.readU8(u8));
    EXPECT_EQ(u8, 'c');
    EXPECT_FALSE(b.readU8(u8));
    EXPECT_FALSE(b.readString(s));
}
