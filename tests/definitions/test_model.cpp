#include "definitions/blockdefinition.h"
#include "definitions/definitionset.h"
#include "definitions/filesequence.h"
#include "definitions/namelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
template <typename T> std::vector<std::string> names(const NameList<T>& list) {
    std::vector<std::string> out;
    for (auto entry : list)
        out.push_back(entry.name);
    return out;
}
} // namespace

TEST(NameList, KeepsByteWiseOrderAndUniqueNames) {
    NameList<int> list;
    for (const char* n : {"b", "B", "_x", "a1", "\xe9", "A"})
        EXPECT_TRUE(list.insert(n, std::make_unique<int>(int(n[0]))));
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "B", "_x", "a1", "b", "\xe9"}));
    EXPECT_EQ(list.count(), 6);

    auto dup = std::make_unique<int>(99);
    EXPECT_FALSE(list.insert("a1", std::move(dup)));
    ASSERT_NE(dup, nullptr); // a refused payload stays with the caller
    EXPECT_EQ(*list.find("a1"), 'a');
    auto none = std::unique_ptr<int>();
    EXPECT_FALSE(list.insert("z", std::move(none)));
    EXPECT_FALSE(list.insert(nullptr, std::move(dup)));
    EXPECT_EQ(list.count(), 6);

    EXPECT_EQ(list.find("a"), nullptr);
    EXPECT_EQ(list.find(static_cast<const char*>(nullptr)), nullptr);
    int fallback = -1;
    list.setDefault(&fallback);
    EXPECT_EQ(list.find("nope"), &fallback);

    auto removed = list.remove("B");
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(*removed, 'B');
    EXPECT_EQ(list.remove("B"), nullptr);
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "_x", "a1", "b", "\xe9"}));
}

TEST(NameList, OrderOfLongAndPrefixNames) {
    const std::vector<std::string> sorted = {
        "a",
        "aaaaaaaa",
        "aaaaaaaaa",
        "aaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaab",
        "aaaaaaaaaaaaaaab",
        "aaaaaaaab",
        "ab",
        "b\x01",
        "b\x7f",
        "b\x80",
        "b\xff",
        "b\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01",
        "b\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x02",
    };
    NameList<int> list;
    for (std::size_t i = sorted.size(); i-- > 0;)
        EXPECT_TRUE(list.insert(sorted[i].c_str(), std::make_unique<int>(int(i))));
    EXPECT_EQ(names(list), sorted);
    list.insert("aa", std::make_unique<int>(0)); // a change after a walk reorders
    EXPECT_EQ(names(list)[1], "aa");
}

TEST(NameList, ManyNamesInDescendingOrder) {
    NameList<int> list;
    const int n = 20000;
    for (int i = n; i > 0; --i)
        list.insert(("k" + std::to_string(i)).c_str(), std::make_unique<int>(i));
    EXPECT_EQ(list.count(), n);
    std::string previous;
    int seen = 0;
    for (auto entry : list) {
        EXPECT_LT(previous, entry.name);
        EXPECT_EQ("k" + std::to_string(*entry.payload), entry.name);
        previous = entry.name;
        ++seen;
    }
    EXPECT_EQ(seen, n);

    for (int i = 3; i <= n; i += 3) {
        auto removed = list.remove("k" + std::to_string(i));
        ASSERT_NE(removed, nullptr);
        EXPECT_EQ(*removed, i);
    }
    EXPECT_EQ(list.count(), n - n / 3);
    EXPECT_EQ(list.find("k3"), nullptr);
    ASSERT_NE(list.find("k4"), nullptr);
    EXPECT_EQ(*list.find("k4"), 4);
    EXPECT_TRUE(list.insert("k3", std::make_unique<int>(-3)));
    EXPECT_FALSE(list.insert("k4", std::make_unique<int>(0)));
    previous.clear();
    seen = 0;
    for (auto entry : list) {
        EXPECT_LT(previous, entry.name);
        previous = entry.name;
        ++seen;
    }
    EXPECT_EQ(seen, list.count());
}

TEST(BlockDefinition, PositionsAndMarks) {
    BlockDefinition def("Gain");
    def.addOutput("y");
    def.addOutput("z");
    def.addInput("u");
    def.addCollectName("z");
    EXPECT_STREQ(def.output(0), "y");
    EXPECT_STREQ(def.output(1), "z");
    EXPECT_EQ(def.output(2), nullptr);
    EXPECT_EQ(def.output(-1), nullptr);
    EXPECT_STREQ(def.input(0), "u");
    EXPECT_EQ(def.input(1), nullptr);
    EXPECT_EQ(def.outputIndex("z"), 1);
    EXPECT_EQ(def.outputIndex("u"), -1); // an input is not an output
    EXPECT_TRUE(def.isCollect("z"));
    EXPECT_FALSE(def.isCollect("y"));
    EXPECT_EQ(def.section("body"), nullptr);
    EXPECT_EQ(def.instanceCount(), 0);
    def.setInstanceCount(3);
    EXPECT_EQ(def.instanceCount(), 3);

    BlockDefinition empty("E");
    EXPECT_EQ(empty.output(0), nullptr);
    EXPECT_EQ(empty.input(0), nullptr);
}

TEST(FileSequence, StepIteration) {
    FileSequence seq;
    EXPECT_STREQ(seq.fileName(), "");
    EXPECT_EQ(seq.firstStep(), nullptr);
    seq.addStep("a");
    seq.addStep("b");
    EXPECT_STREQ(seq.firstStep(), "a");
    EXPECT_STREQ(seq.nextStep(), "b");
    EXPECT_EQ(seq.nextStep(), nullptr);
    EXPECT_EQ(seq.nextStep(), nullptr);
    EXPECT_STREQ(seq.firstStep(), "a"); // a new walk starts over
}

TEST(DefinitionSet, DuplicateBlockStaysWithCaller) {
    DefinitionSet set;
    auto first = std::make_unique<BlockDefinition>("A");
    first->addOutput("x");
    EXPECT_TRUE(set.addBlock(std::move(first)));
    auto second = std::make_unique<BlockDefinition>("A");
    EXPECT_FALSE(set.addBlock(std::move(second)));
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(set.blocks().find("A")->output(0), "x");
}
