#include "definitions/dynstring.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {
void expectEmpty(const DynString& s) {
    EXPECT_EQ(s.text(), nullptr);
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.length(), 0u);
}
} // namespace

TEST(DynString, GrowthRule) {
    DynString s("", 64, 64);
    EXPECT_EQ(s.capacity(), 128u);
    s.append(std::string(200, 'a').c_str());
    EXPECT_EQ(s.capacity(), 265u); // 201 + 64
    s.append("bb");                // fits: no reallocation
    s.assign("short");             // shrinking keeps the buffer
    EXPECT_EQ(s.capacity(), 265u);
    EXPECT_STREQ(s.text(), "short");
    s.assign(std::string(300, 'c').c_str());
    EXPECT_EQ(s.capacity(), 301u + 64u);
    EXPECT_EQ(DynString("abc", 2, 10).capacity(), 14u);

    DynString none(nullptr, 64, 8); // no text: no buffer, the minimum is ignored
    expectEmpty(none);
    none.assign(nullptr);
    none.append(nullptr);
    expectEmpty(none);
    none.append("xy");
    EXPECT_EQ(none.capacity(), 3u + 8u);
    none.assign(nullptr); // empties but keeps the buffer
    EXPECT_STREQ(none.text(), "");
    EXPECT_EQ(none.capacity(), 11u);
    none.appendChar('q');
    none.appendChar('\0'); // a NUL is an empty text
    EXPECT_STREQ(none.text(), "q");
}

TEST(DynString, CopiesKeepCapacityAndIncrement) {
    DynString s("hello", 32, 7);
    DynString c(s);
    EXPECT_EQ(c.capacity(), s.capacity());
    EXPECT_EQ(c.growIncrement(), 7u);
    EXPECT_STREQ(c.text(), "hello");
    EXPECT_NE(c.text(), s.text());
    const DynString none(nullptr, 0, 9);
    DynString noneCopy(none);
    EXPECT_EQ(noneCopy.text(), nullptr);
    EXPECT_EQ(noneCopy.growIncrement(), 0u);
}

TEST(DynString, ReplaceInsertsRemovesAndClamps) {
    DynString s("abcdef", 0, 4);
    s.replace(1, 2, "XYZ");
    EXPECT_STREQ(s.text(), "aXYZdef");
    EXPECT_EQ(s.capacity(), 11u);
    s.replace(0, 0, "12345"); // 13 bytes needed: grow to 13 + 4
    EXPECT_STREQ(s.text(), "12345aXYZdef");
    EXPECT_EQ(s.capacity(), 17u);
    s.replace(5, 1, nullptr);
    s.replace(8, 100, nullptr); // a count past the end cuts there
    EXPECT_STREQ(s.text(), "12345XYZ");
    s.replace(50, 3, nullptr); // removal beyond the end does nothing
    s.replace(50, 3, "!");     // the position is limited to the length
    EXPECT_STREQ(s.text(), "12345XYZ!");

    DynString none(nullptr, 0, 2);
    none.replace(3, 1, "new"); // without a buffer this is append
    EXPECT_STREQ(none.text(), "new");

    DynString own("abc", 0, 0); // arguments pointing into the string itself
    own.append(own.text());
    own.replace(0, 1, own.text() + 3);
    EXPECT_STREQ(own.text(), "abcbcabc");
}

namespace {
int g_allowedAllocations = 0;
void* failingRealloc(void* p, std::size_t n) {
    return g_allowedAllocations-- > 0 ? std::realloc(p, n) : nullptr;
}
} // namespace

TEST(DynString, ExhaustedMemoryLeavesItEmpty) {
    g_allowedAllocations = 1;
    DynString::Reallocator previous = DynString::setReallocator(&failingRealloc);
    DynString s("abc", 0, 0);
    s.append("more than fits");
    expectEmpty(s);
    DynString copy(DynString("x", 0, 0));
    expectEmpty(copy);
    DynString::setReallocator(previous);
    s.append("again");
    EXPECT_STREQ(s.text(), "again");

    // A capacity that does not fit in 32 bits counts as exhausted memory.
    expectEmpty(DynString("ab", 0, 0xFFFFFFFFu));
    DynString big(nullptr, 0, 0xFFFFFFF0u);
    big.assign("0123456789abcdef");
    expectEmpty(big);
}
