#include "testdesign.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

TEST(Expansion, CountersGiveRunAndPositionNumbers) {
    auto defs = parseDefinitions(R"d(
        block T ( : ) { id "$(u_id) $(b_id) $(bnum) $(num)" }
        block U ( : ) { id "$(u_id) $(b_id) $(bnum) $(num)" }
        ids "$(num)"
        file "" ids id ;
    )d");
    TestDesign design;
    // Created out of order: x + y decides, so (100, 0) comes after (0, 99).
    design.add("T", 100, 0);
    design.add("U", 40, 40);
    design.add("T", 0, 10);
    TestRun run(*defs, design);
    EXPECT_EQ(run.render(), (Lines{"3", "1 1 2 3", "2 1 1 3", "3 2 2 3"}));
    // At the file level the counters of a node are ordinary names; with no default
    // anywhere, "$(default)" itself becomes empty.
    EXPECT_EQ(run.expand("$(u_id)|$(bnum)"), "|");
}

TEST(Expansion, TabGivesTheDepthOfTheExpansion) {
    auto defs = parseDefinitions(R"d(
        block Src ( out : ) { out "<$(tab)>" }
        block Dst ( : in ) { v "[$(tab)]" w "$(in)" }
        direct "{$(tab)}"
    )d");
    TestDesign design;
    auto& src = design.add("Src", 0, 0, 0, 1);
    auto& dst = design.add("Dst", 10, 0, 1, 0);
    design.wire(src, 1, dst, 1);
    TestRun run(*defs, design);
    EXPECT_EQ(run.expand("$(direct)"), "{}");
    EXPECT_EQ(run.expand("$(v)", &dst), "[]");
    // File-level gathering expands each block's value two deeper, a connection two more.
    EXPECT_EQ(run.expand("$(v)"), "[  ]");
    EXPECT_EQ(run.expand("$(w)"), "<    >");
    EXPECT_EQ(run.expand("$(tab)", nullptr, 3), "   ");
}

TEST(Expansion, EscapedAndUnclosedReferencesStayAsWritten) {
    auto defs = parseDefinitions(R"d(
        x "X"
        ab "AB"
        bx "b"
        paren "(num)"
        cascade "(again)"
        again "(x)"
        backslash "\\"
        default "D"
        block T ( : ) { }
    )d");
    TestDesign design;
    design.add("T", 0, 0);
    TestRun run(*defs, design);
    EXPECT_EQ(run.expand("\\$(x) and $(x)"), "\\$(x) and X");
    EXPECT_EQ(run.expand("$(x) then $(x and $(x"), "X then $(x and $(x");
    // The innermost first, then the reference around it with the result in it.
    EXPECT_EQ(run.expand("<$(a$(bx))>"), "<AB>");
    EXPECT_EQ(run.expand("<$(a$(bx)>"), "<$(ab>");
    EXPECT_EQ(run.expand("<$(a$(x))>"), "<D>");
    // A replacement can complete or escape a "$(" with the character before it.
    EXPECT_EQ(run.expand("$$(paren)"), "1");
    EXPECT_EQ(run.expand("$$$(cascade)"), "X"); // each "(" makes the "$" before it a "$("
    EXPECT_EQ(run.expand("$(backslash)$(x)"), "\\$(x)");
}

TEST(Expansion, ArgumentsOnlyCountForOutputsAndInputs) {
    auto defs = parseDefinitions(R"d(
        block T ( : ) { v "value" }
    )d");
    TestDesign design;
    auto& t = design.add("T", 0, 0);
    TestRun run(*defs, design);
    EXPECT_EQ(run.expand("$(v:other) $(num:9) $(u_id:x)", &t), "value 1 1");
}

TEST(Expansion, CollectOutputGathersFromFedBlocksInPositionOrder) {
    auto defs = parseDefinitions(R"d(
        block Hub ( o, plain : ) {
            collect o ""
            o_delimiter ", "
            o_delimiter "ignored"
            plain "own plain"
        }
        block Leaf ( : in ) { name "leaf$(u_id)$(tab)" in "in of $(u_id)" }
        default "D"
        o "global o"
    )d");
    TestDesign design;
    auto& hub = design.add("Hub", 0, 0, 0, 2);
    auto& far = design.add("Leaf", 10, 10, 1, 0);
    auto& near = design.add("Leaf", 0, 5, 1, 0);
    design.wire(hub, 1, far, 1); // attached first, yet placed further down
    design.wire(hub, 1, near, 1);
    TestRun run(*defs, design);
    // With an argument: that name in each fed block's context, two deeper.
    EXPECT_EQ(run.expand("[$(o:name)]", &hub), "[leaf2  , leaf3  ]");
    // Without: each block's input name, which finds nothing back through the collect output
    // and falls to that block's own value.
    EXPECT_EQ(run.expand("[$(o)]", &hub), "[in of 2, in of 3]");
    // An output without the collect mark resolves like any name.
    EXPECT_EQ(run.expand("$(plain:name)", &hub), "own plain");

    // Without wires a collect output is an ordinary name: own value, else global, else default.
    TestDesign alone;
    auto& lone = alone.add("Hub", 0, 0, 0, 2);
    TestRun single(*defs, alone);
    EXPECT_EQ(single.expand("$(o:name)", &lone), "global o");
    EXPECT_EQ(single.expand("$(nothing)", &lone), "D");
    lone.set("o", "variable o");
    TestRun withVariable(*defs, alone);
    EXPECT_EQ(withVariable.expand("$(o)", &lone), "variable o");
}

TEST(Expansion, InputResolvesThroughItsConnection) {
    auto defs = parseDefinitions(R"d(
        block Src ( o, p : ) {
            edit k "1"
            o "src$(u_id)*$(k)"
            o "second string unused"
            v "v of $(u_id)"
        }
        block Dst ( : in, spare ) { in "own in" }
        default "D"
    )d");
    TestDesign design;
    auto& dst = design.add("Dst", 0, 0, 2, 0);
    auto& src = design.add("Src", 5, 5, 0, 2);
    src.set("k", "7");
    design.wire(src, 1, dst, 1);
    design.wire(src, 2, dst, 2);
    TestRun run(*defs, design);
    // Expanded in the source's context: its serial and its own variable.
    EXPECT_EQ(run.expand("$(in)", &dst), "src2*7");
    EXPECT_EQ(run.expand("$(in:v)", &dst), "v of 2");
    // The source lacks the value: the input name resolves here instead.
    EXPECT_EQ(run.expand("$(in:missing)", &dst), "own in");
    EXPECT_EQ(run.expand("$(spare)", &dst), "D");
}

TEST(Expansion, ConnectKeepsOnlyNamesOfTheTwoTypes) {
    auto defs = parseDefinitions(R"d(
        block Src ( o : ) { o "from src" }
        block Dst ( : in ) { }
    )d");
    TestDesign design;
    auto& src = design.add("Src", 0, 0, 0, 1);
    auto& dst = design.add("Dst", 0, 0, 1, 0);
    TestRun run(*defs, design);
    DesignNode& s = *run.generator.node(&src);
    DesignNode& d = *run.generator.node(&dst);
    ASSERT_EQ(d.connection("in"), nullptr);

    connect(d, "in", &s, "nope"); // not an output of Src
    EXPECT_EQ(d.connection("in"), nullptr);
    connect(d, "o", &s, "o"); // not an input of Dst
    EXPECT_EQ(d.connection("o"), nullptr);
    connect(d, "in", &s, "o");
    ASSERT_NE(d.connection("in"), nullptr);
    EXPECT_EQ(d.connection("in")->source, &s);
    EXPECT_EQ(d.connection("in")->outputName, "o");
    connect(d, "in", &s, "nope"); // a refused change keeps the earlier entry
    EXPECT_NE(d.connection("in"), nullptr);
    connect(d, "in", nullptr, nullptr);
    EXPECT_EQ(d.connection("in"), nullptr);
}

TEST(Expansion, WiresToUnknownPortsAreIgnored) {
    auto defs = parseDefinitions(R"d(
        block Src ( o : ) { collect o "" o_delimiter "," }
        block Dst ( : in ) { in "own" }
    )d");
    TestDesign design;
    auto& src = design.add("Src", 0, 0, 0, 2);
    auto& dst = design.add("Dst", 0, 0, 2, 0);
    design.wire(src, 2, dst, 1); // Src has one output
    design.wire(src, 1, dst, 2); // Dst has one input
    TestRun run(*defs, design);
    EXPECT_EQ(run.generator.node(&dst)->connection("in"), nullptr);
    EXPECT_EQ(run.expand("$(o)", &src), "");
}

TEST(Expansion, FileLevelNameGathersEveryBlocksValue) {
    auto defs = parseDefinitions(R"d(
        block T ( : ) { }
        block U ( : ) { nm "U$(u_id)" }
        default "<default>"
        shared "G"
        all "[$(nm)]"
    )d");
    TestDesign design;
    design.add("T", 50, 50).set("nm", "Q$(u_id)");
    design.add("T", 0, 0).set("nm", "P$(u_id)");
    design.add("T", 20, 20);
    design.add("U", 30, 30);
    TestRun run(*defs, design);
    // No global value: the default text, then each block's value in block order.
    EXPECT_EQ(run.expand("$(nm)"), "<default>P1U3Q4");
    EXPECT_EQ(run.expand("$(all)"), "[<default>P1U3Q4]");
    EXPECT_EQ(run.expand("$(shared)"), "G");
    // In a block's context the block's own value wins and nothing is gathered.
    EXPECT_EQ(run.expand("$(nm)", design.views()[0]), "Q4");
}

TEST(Expansion, FileLevelGatheringKeepsTextThatCompletesAcrossBlocks) {
    // A block value that leaves a "$(" open is completed by the next block's value; the
    // gathered text is expanded as a whole in that next block's context.
    auto defs = parseDefinitions(R"d(
        block T ( : ) { }
    )d");
    TestDesign design;
    design.add("T", 0, 0).set("part", "a$(");
    design.add("T", 1, 1).set("part", "u_id)b");
    design.add("T", 2, 2).set("part", "$(u_id)");
    TestRun run(*defs, design);
    EXPECT_EQ(run.expand("$(part)"), "a2b3");
}

TEST(Expansion, RenderEmitsGlobalsOncePerTypeThenEveryBlock) {
    auto defs = parseDefinitions(R"d(
        block T ( : ) {
            - decl "T decl by $(u_id)"
            decl "t$(u_id)"
            decl "second"
        }
        block U ( : ) { - decl "" decl "u$(u_id)" }
        block V ( : ) {
            decl "v$(u_id)"
            body "first"
                 "two"
        }
        decl "global decl"
        file "" decl body ;
    )d");
    TestDesign design;
    design.add("T", 40, 0);
    design.add("U", 0, 0);
    design.add("T", 10, 0);
    design.add("V", 50, 0).set("-decl", "V once $(u_id)");
    TestRun run(*defs, design);
    // U's empty string still counts as a value and is emitted.
    EXPECT_EQ(run.render(), (Lines{"global decl", "", "T decl by 2", "V once 4", "u1", "t2",
                                   "second", "t3", "second", "v4", "first\ntwo"}));
}
