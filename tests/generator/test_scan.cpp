#include "generator/referencescan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The reference text the next step replaces, or "" when there is none.
std::string next(std::string_view text) {
    Reference ref;
    if (!findReference(text, 0, ref))
        return "";
    return std::string(text.substr(ref.begin, ref.end - ref.begin));
}

} // namespace

TEST(Scan, ChoosesTheInnermostOfTheFirstUnescapedReference) {
    EXPECT_EQ(next("plain text"), "");
    EXPECT_EQ(next("a $(x) b $(y)"), "$(x)");
    EXPECT_EQ(next("$(a$(b))"), "$(b)");
    EXPECT_EQ(next("$(a $(b $(c) d) e)"), "$(c)");
    // Escaped: skipped, the next one is taken.
    EXPECT_EQ(next("\\$(x) $(y)"), "$(y)");
    EXPECT_EQ(next("\\$(x) \\$(y)"), "");
    // Inside an unescaped reference an escaped "$(" is still the innermost.
    EXPECT_EQ(next("$(a\\$(b))"), "$(b)");
    // An unclosed "$(" hides everything after it, even complete references.
    EXPECT_EQ(next("$(open $(x"), "");
    EXPECT_EQ(next("x $( and then"), "");
    // ...but a ")" anywhere after it closes the innermost before that ")".
    EXPECT_EQ(next("$(open $(x)"), "$(x)");
    EXPECT_EQ(next("$)$(x)"), "$(x)");
    EXPECT_EQ(next("$()"), "$()");
}

TEST(Scan, SplitsNameAndArgumentAtTheFirstColon) {
    Reference ref;
    ASSERT_TRUE(findReference("$(out:a:b)", 0, ref));
    EXPECT_EQ(ref.name, "out");
    EXPECT_TRUE(ref.hasArgument);
    EXPECT_EQ(ref.argument, "a:b");

    ASSERT_TRUE(findReference("$(out:)", 0, ref));
    EXPECT_EQ(ref.name, "out");
    EXPECT_TRUE(ref.hasArgument);
    EXPECT_EQ(ref.argument, "");

    ASSERT_TRUE(findReference("$(out)", 0, ref));
    EXPECT_FALSE(ref.hasArgument);
}

TEST(Scan, StartingLaterGivesTheSameReferenceWhenNothingBeforeCounts) {
    const std::string text = "\\$(a) xx $(b) $(c)";
    Reference whole;
    ASSERT_TRUE(findReference(text, 0, whole));
    for (std::size_t from = 0; from + 1 <= whole.firstOpen; ++from) {
        Reference later;
        ASSERT_TRUE(findReference(text, from, later));
        EXPECT_EQ(later.begin, whole.begin);
        EXPECT_EQ(later.firstOpen, whole.firstOpen);
    }
    // Starting at the escaped "$(" itself still sees the backslash before it.
    Reference at;
    ASSERT_TRUE(findReference(text, 1, at));
    EXPECT_EQ(at.begin, 9u);
}
