#include "definitions/dynstring.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(DynString, CapacityFollowsNeedPlusIncrement) {
    DynString s("", 64, 64);
    EXPECT_EQ(s.capacity(), 128u);
    EXPECT_STREQ(s.text(), "");

    const std::string long200(200, 'a');
    s.append(long200.c_str());
    EXPECT_EQ(s.capacity(), 265u); // 201 + 64
    EXPECT_EQ(s.length(), 200u);

    s.append("bb"); // fits: no reallocation
    EXPECT_EQ(s.capacity(), 265u);
    EXPECT_EQ(std::string(s.text()), long200 + "bb");

    s.assign("short"); // shrinking keeps the buffer
    EXPECT_EQ(s.capacity(), 265u);
    EXPECT_STREQ(s.text(), "short");

    const std::string long300(300, 'c');
    s.assign(long300.c_str());
    EXPECT_EQ(s.capacity(), 301u + 64u);

    DynString t("abc", 2, 10); // the text is larger than the minimum
    EXPECT_EQ(t.capacity(), 14u);
}

TEST(DynString, WithoutBufferAndNullTexts) {
    DynString s(nullptr, 64, 8);
    EXPECT_EQ(s.text(), nullptr);
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.length(), 0u);

    s.append(nullptr);
    s.assign(nullptr);
    EXPECT_EQ(s.text(), nullptr);

    s.append("xy"); // appending to no buffer assigns: need + increment, minimum ignored
    EXPECT_EQ(s.capacity(), 3u + 8u);
    EXPECT_STREQ(s.text(), "xy");

    s.assign(nullptr); // empties but keeps the buffer
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.capacity(), 11u);

    s.appendChar('q');
    s.appendChar('\0'); // a NUL is an empty text
    EXPECT_STREQ(s.text(), "q");
    EXPECT_EQ(s.length(), 1u);
}

TEST(DynString, CopiesKeepCapacityAndIncrement) {
    DynString s("hello", 32, 7);
    DynString c(s);
    EXPECT_EQ(c.capacity(), s.capacity());
    EXPECT_EQ(c.growIncrement(), 7u);
    EXPECT_STREQ(c.text(), "hello");
    EXPECT_NE(c.text(), s.text());

    DynString none(nullptr, 0, 9);
    DynString noneCopy(none);
    EXPECT_EQ(noneCopy.text(), nullptr);
    EXPECT_EQ(noneCopy.growIncrement(), 0u);

    c = none;
    EXPECT_EQ(c.text(), nullptr);
    DynString moved(std::move(s));
    EXPECT_STREQ(moved.text(), "hello");
    EXPECT_EQ(s.text(), nullptr); // NOLINT(bugprone-use-after-move)
}

TEST(DynString, ReplaceInsertsRemovesAndClamps) {
    DynString s("abcdef", 0, 4);
    EXPECT_EQ(s.capacity(), 11u);
    s.replace(1, 2, "XYZ");
    EXPECT_STREQ(s.text(), "aXYZdef");
    EXPECT_EQ(s.capacity(), 11u);

    s.replace(0, 0, "12345"); // 12 characters + 1 do not fit in 11: grow to 13 + 4
    EXPECT_STREQ(s.text(), "12345aXYZdef");
    EXPECT_EQ(s.capacity(), 17u);

    s.replace(5, 1, nullptr);
    EXPECT_STREQ(s.text(), "12345XYZdef");
    s.replace(8, 100, nullptr); // count reaching past the end cuts there
    EXPECT_STREQ(s.text(), "12345XYZ");
    s.replace(50, 3, nullptr); // removal at or beyond the end does nothing
    EXPECT_STREQ(s.text(), "12345XYZ");
    s.replace(50, 3, "!"); // position limited to the length: appends
    EXPECT_STREQ(s.text(), "12345XYZ!");
    s.replace(0, 100, "all");
    EXPECT_STREQ(s.text(), "all");

    DynString none(nullptr, 0, 2);
    none.replace(3, 1, "new"); // without a buffer this is append
    EXPECT_STREQ(none.text(), "new");
    EXPECT_EQ(none.capacity(), 6u);
}

TEST(DynString, OwnTextAsArgument) {
    DynString s("abc", 0, 0);
    s.append(s.text()); // the buffer moves while growing
    EXPECT_STREQ(s.text(), "abcabc");
    s.replace(0, 1, s.text() + 3);
    EXPECT_STREQ(s.text(), "abcbcabc");
    s.assign(s.text() + 5);
    EXPECT_STREQ(s.text(), "abc");
}

namespace {
int g_allowedAllocations = 0;
void* failingRealloc(void* p, std::size_t n) {
    if (g_allowedAllocations-- > 0)
        return std::realloc(p, n);
    return nullptr;
}
struct ReallocGuard {
    explicit ReallocGuard(int allowed) {
        g_allowedAllocations = allowed;
        previous = DynString::setReallocator(&failingRealloc);
    }
    ~ReallocGuard() { DynString::setReallocator(previous); }
    DynString::Reallocator previous;
};
void expectEmpty(const DynString& s) {
    EXPECT_EQ(s.text(), nullptr);
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.length(), 0u);
}
} // namespace

TEST(DynString, ExhaustedMemoryLeavesItEmpty) {
    {
        ReallocGuard guard(1);
        DynString s("abc", 0, 0); // the one allowed allocation
        EXPECT_STREQ(s.text(), "abc");
        s.append("more than fits"); // reallocation fails
        expectEmpty(s);
        DynString copy(DynString("x", 0, 0));
        expectEmpty(copy);
        DynString r("abcd", 0, 0);
        expectEmpty(r);
    }
    DynString s("abc", 0, 0);
    s.append("def"); // allocation works again afterwards
    EXPECT_STREQ(s.text(), "abcdef");
}

TEST(DynString, CapacityBeyond32BitsLeavesItEmpty) {
    DynString huge("ab", 0, 0xFFFFFFFFu); // 3 + increment does not fit
    expectEmpty(huge);
    EXPECT_EQ(huge.growIncrement(), 0xFFFFFFFFu);

    DynString s(nullptr, 0, 0xFFFFFFF0u);
    s.assign("0123456789abcdef"); // 17 + increment overflows
    expectEmpty(s);
    s.append("0123456789abcdef");
    expectEmpty(s);
}
