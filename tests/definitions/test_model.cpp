#include "definitions/blockdefinition.h"
#include "definitions/filesequence.h"
#include "definitions/namelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Strings = std::vector<std::string>;
Strings names(const NameList<int>& list) {
    Strings out;
    for (auto entry : list)
        out.push_back(entry.name);
    return out;
}
} // namespace

TEST(NameList, ByteWiseOrderAndUniqueNames) {
    NameList<int> list;
    for (const char* n : {"b", "B", "_x", "a1", "\xe9", "A"})
        EXPECT_TRUE(list.insert(n, std::make_unique<int>(int(n[0]))));
    EXPECT_EQ(names(list), (Strings{"A", "B", "_x", "a1", "b", "\xe9"}));

    auto dup = std::make_unique<int>(99);
    EXPECT_FALSE(list.insert("a1", std::move(dup)));
    ASSERT_NE(dup, nullptr); // a refused payload stays with the caller
    EXPECT_EQ(*list.find("a1"), 'a');
    EXPECT_FALSE(list.insert(nullptr, std::move(dup)));
    EXPECT_EQ(list.find("a"), nullptr);
    EXPECT_EQ(*list.remove("B"), 'B');
    EXPECT_EQ(list.remove("B"), nullptr);
    EXPECT_EQ(names(list), (Strings{"A", "_x", "a1", "b", "\xe9"}));
}

TEST(NameList, LongNamesAndSharedPrefixes) {
    const Strings sorted = {"a",
                            "aaaaaaaa",
                            "aaaaaaaaa",
                            "aaaaaaaaaaaaaaaa",
                            "aaaaaaaaaaaaaaaaa",
                            "aaaaaaaaaaaaaaaab",
                            "aaaaaaaaaaaaaaab",
                            "aaaaaaaab",
                            "ab",
                            "b\x7f",
                            "b\x80",
                            "b\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01",
                            "b\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x02"};
    NameList<int> list;
    for (std::size_t i = sorted.size(); i-- > 0;)
        list.insert(sorted[i].c_str(), std::make_unique<int>(int(i)));
    EXPECT_EQ(names(list), sorted);
    list.insert("aa", std::make_unique<int>(0)); // a change after a walk is sorted in
    EXPECT_EQ(names(list)[1], "aa");
}

// Large lists take another lookup path than small ones.
TEST(NameList, ManyNames) {
    NameList<int> list;
    const int n = 20000;
    for (int i = n; i > 0; --i)
        list.insert(("k" + std::to_string(i)).c_str(), std::make_unique<int>(i));
    for (int i = 3; i <= n; i += 3)
        EXPECT_EQ(*list.remove("k" + std::to_string(i)), i);
    EXPECT_EQ(list.find("k3"), nullptr);
    EXPECT_EQ(*list.find("k4"), 4);
    EXPECT_TRUE(list.insert("k3", std::make_unique<int>(3)));
    EXPECT_FALSE(list.insert("k4", std::make_unique<int>(0)));
    EXPECT_EQ(list.count(), n - n / 3 + 1);
    const Strings walked = names(list);
    EXPECT_EQ(int(walked.size()), list.count());
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
}

TEST(BlockDefinition, PositionsAndMarks) {
    BlockDefinition def("Gain");
    EXPECT_EQ(def.output(0), nullptr);
    def.addOutput("y");
    def.addOutput("z");
    def.addInput("u");
    def.addCollectName("z");
    EXPECT_STREQ(def.output(1), "z");
    EXPECT_EQ(def.output(2), nullptr);
    EXPECT_EQ(def.output(-1), nullptr);
    EXPECT_EQ(def.input(1), nullptr);
    EXPECT_EQ(def.outputIndex("z"), 1);
    EXPECT_EQ(def.outputIndex("u"), -1); // an input is not an output
    EXPECT_TRUE(def.isCollect("z"));
    EXPECT_FALSE(def.isCollect("y"));
}

TEST(FileSequence, StepIteration) {
    FileSequence seq;
    EXPECT_EQ(seq.firstStep(), nullptr);
    seq.addStep("a");
    seq.addStep("b");
    EXPECT_STREQ(seq.firstStep(), "a");
    EXPECT_STREQ(seq.nextStep(), "b");
    EXPECT_EQ(seq.nextStep(), nullptr);
    EXPECT_STREQ(seq.firstStep(), "a"); // a new walk starts over
}
