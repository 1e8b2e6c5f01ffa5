#include "testdesign.h"

#include <gtest/gtest.h>

#include <QFile>

using Lines = std::vector<std::string>;
using Reported = std::vector<const BlockView*>;

namespace {

using Blocks = std::vector<TestBlock*>;

// Two blocks of one type (one input, one output), each feeding the other.
void loopOfTwo(TestDesign& design, Blocks& blocks, const char* type) {
    blocks = {&design.add(type, 0, 0, 1, 1), &design.add(type, 10, 0, 1, 1)};
    design.wire(*blocks[1], 1, *blocks[0], 1);
    design.wire(*blocks[0], 1, *blocks[1], 1);
}

// A case: definitions, a design, a text expanded in the context of one of its blocks (-1: the
// file level) and what must come of it.
struct Case {
    const char* what;
    std::string definitions;
    void (*build)(TestDesign&, Blocks&);
    std::string text;
    int context;
    int reported;         // circles: the block reported (-1: the file level)
    std::string expected; // finite expansions: the result
};

std::string repeated(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// x0 refers to x1, ..., the last one is "end".
std::string globalChain(int n) {
    std::string defs = "block T ( : ) { }\n";
    for (int i = 0; i + 1 < n; ++i)
        defs += "g" + std::to_string(i) + " \"$(g" + std::to_string(i + 1) + ")\"\n";
    return defs + "g" + std::to_string(n - 1) + " \"end\"\n";
}

// x0 is x1 twice, ..., the last one is "ab".
std::string doublingTree(int levels) {
    std::string defs = "block T ( : ) { }\n";
    for (int i = 0; i < levels; ++i)
        defs += "x" + std::to_string(i) + " \"$(x" + std::to_string(i + 1) + ")$(x" +
                std::to_string(i + 1) + ")\"\n";
    return defs + "x" + std::to_string(levels) + " \"ab\"\n";
}

void oneBlock(TestDesign& design, Blocks& blocks) {
    blocks = {&design.add("T", 0, 0)};
}

std::string guideDefinitions() {
    QFile file(QStringLiteral(DRAFTEL_SOURCE_DIR "/defs/guide_expressions.def"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

} // namespace

// Every kind of circle is reported at the block where it closes, as before: the source of the
// repeated wire resolution, else the block (or the file level) whose value needs itself.
TEST(Cycles, EveryKindIsReportedWhereItCloses) {
    const std::vector<Case> cases = {
        {"wires in a loop, each output referring to its input",
         R"d(block N ( o : in ) { o "($(in))" })d",
         [](TestDesign& d, Blocks& b) { loopOfTwo(d, b, "N"); }, "$(in)", 0, 1, ""},
        {"a loop through wires entered by a value",
         R"d(block N ( o : in ) { o "$(x)" x "$(in)" })d",
         [](TestDesign& d, Blocks& b) { loopOfTwo(d, b, "N"); }, "$(x)", 0, 1, ""},
        {"gathering back and forth along wires: the repeated value of the fed block",
         R"d(block A ( o : i ) { collect o "" i "$(o)" })d",
         [](TestDesign& d, Blocks& b) { loopOfTwo(d, b, "A"); }, "$(o)", 0, 1, ""},
        {"a delimiter gathering again",
         R"d(block A ( o : j ) { collect o "" o_delimiter "$(o:w)" })d",
         [](TestDesign& d, Blocks& b) {
             b = {&d.add("A", 0, 0, 1, 1), &d.add("A", 5, 5, 1, 1)};
             d.wire(*b[0], 1, *b[1], 1);
             d.wire(*b[0], 1, *b[0], 1);
         },
         "$(o:w)", 0, 0, ""},
        {"an output read through a wire and referring to itself",
         R"d(block S ( o : ) { o "x$(o)" } block D ( : in ) { })d",
         [](TestDesign& d, Blocks& b) {
             b = {&d.add("S", 0, 0, 0, 1), &d.add("D", 5, 5, 1, 0)};
             d.wire(*b[0], 1, *b[1], 1);
         },
         "$(in)", 1, 0, ""},
        {"a block's value gathered at the file level referring to itself",
         R"d(block T ( : ) { } n "g")d",
         [](TestDesign& d, Blocks& b) {
             b = {&d.add("T", 0, 0), &d.add("T", 5, 5)};
             b[1]->set("n", "[$(n)]");
         },
         "$(n)", -1, 1, ""},
        {"globals in a circle at the file level", R"d(block T ( : ) { } a "1$(b)" b "2$(a)")d",
         oneBlock, "$(a)", -1, -1, ""},
        {"globals in a circle in a block", R"d(block T ( : ) { } a "$(b)x" b "$(a)")d", oneBlock,
         "$(a)", 0, 0, ""},
        {"a default that is unresolved itself, at the file level",
         R"d(block T ( : ) { } default "<$(nothing)>")d", oneBlock, "$(nothing)", -1, -1, ""},
        {"the reference rebuilt from the value and the text before it",
         R"d(block T ( : ) { } x ")$(pre$(x)" pre "P")d", oneBlock, "$(pre$(x)", 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto defs = parseDefinitions(c.definitions);
        TestDesign design;
        Blocks blocks;
        c.build(design, blocks);
        TestRun run(*defs, design);
        run.expand(c.text, c.context < 0 ? nullptr : blocks[std::size_t(c.context)]);
        const BlockView* where = c.reported < 0 ? nullptr : blocks[std::size_t(c.reported)];
        ASSERT_FALSE(run.reporter.reported.empty());
        EXPECT_EQ(run.reporter.reported.front(), where);
        EXPECT_EQ(run.generator.heldResolutions(), 0u);
    }
}

// However deep or long, an expansion that ends is no circle: past every bound the generator
// once counted (100 generations, 1,000 nested expansions, 10 million steps) and past what the
// call stack could hold.
TEST(Cycles, FiniteExpansionsOfAnyDepthAreNoCircles) {
    const std::vector<Case> cases = {
        {"global items each referring to the next", globalChain(2000), oneBlock, "[$(g0)]", -1, 0,
         "[end]"},
        {"a reference followed by closing parentheses, each completing the next one",
         "block T ( : ) { } x \"$(x\"", oneBlock, "$(x" + std::string(1000, ')'), 0, 0, "$(x"},
        {"references nested in one another", "block T ( : ) { } e \"\"", oneBlock,
         "<" + repeated("$(e", 20000) + std::string(20000, ')') + ">", 0, 0, "<>"},
        {"a template tree that doubles 16 times", doublingTree(16), oneBlock, "$(x0)", 0, 0,
         repeated("ab", 1 << 16)},
        {"the same value many times in one text",
         "block T ( : ) { } a \"$(b)$(b)-$(b)\" "
         "b \"$(c)$(c)\" c \"x\"",
         oneBlock, "$(a)", -1, 0, "xxxx-xx"},
        {"blocks in series, each passing on its input",
         R"d(block Src ( o : ) { o "s$(u_id)" } block Pass ( o : i ) { o "($(i))" })d",
         [](TestDesign& d, Blocks& b) {
             b = {&d.add("Src", 0, 0, 0, 1)};
             for (int i = 1; i <= 2000; ++i) {
                 b.push_back(&d.add("Pass", i, 0, 1, 1));
                 d.wire(*b[b.size() - 2], 1, *b.back(), 1);
             }
         },
         "$(i)", 2000, 0, std::string(1999, '(') + "s1" + std::string(1999, ')')},
        {"a collect output gathering the same value from several blocks",
         R"d(block Fan ( o : ) { collect o "" o_delimiter "+" } block Leaf ( : i ) { v "$(c)" }
             c "x")d",
         [](TestDesign& d, Blocks& b) {
             b = {&d.add("Fan", 0, 0, 0, 1)};
             for (int i = 0; i < 3; ++i)
                 d.wire(*b[0], 1, d.add("Leaf", 10 + i, 0, 1, 0), 1);
         },
         "$(o:v)", 0, 0, "x+x+x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto defs = parseDefinitions(c.definitions);
        TestDesign design;
        Blocks blocks;
        c.build(design, blocks);
        TestRun run(*defs, design);
        EXPECT_EQ(run.expand(c.text, c.context < 0 ? nullptr : blocks[std::size_t(c.context)]),
                  c.expected);
        EXPECT_TRUE(run.reporter.reported.empty());
        EXPECT_FALSE(run.generator.error().set);
        EXPECT_EQ(run.generator.stopped(), GenerationStop::None);
        EXPECT_EQ(run.generator.heldResolutions(), 0u);
    }
}

// The expression blocks of the user guide, a Number and Add blocks in series, each Add taking
// its predecessor's output through its first input (the second, unwired, reads as 0): the whole
// program for a thousand of them, and one expression through a hundred thousand.
TEST(Cycles, GuideExpressionsInSeries) {
    auto defs = parseDefinitions(guideDefinitions());
    for (const int n : {1000, 100000}) {
        SCOPED_TRACE(n);
        TestDesign design;
        TestBlock* last = &design.add("Number", 0, 0, 0, 1);
        for (int i = 1; i <= n; ++i) {
            TestBlock& add = design.add("Add", 10.0 * i, 0, 2, 1);
            design.wire(*last, 1, add, 1);
            last = &add;
        }
        const std::string expression =
            std::string(std::size_t(n), '(') + "1" + repeated(" + 0)", n);
        if (n > 1000) {
            TestRun run(*defs, design);
            EXPECT_EQ(run.expand("$(out)", last), expression);
            EXPECT_TRUE(run.reporter.reported.empty());
            continue;
        }
        TestBlock& show = design.add("Show", 10.0 * (n + 1), 0, 1, 0);
        design.wire(*last, 1, show, 1);
        TestRun run(*defs, design);
        const Lines lines = run.render();
        EXPECT_TRUE(run.reporter.reported.empty());
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[0], "/* Generated by Draftel from guide_expressions.def: 1002 blocks. */");
        EXPECT_EQ(lines[7], "    /* 1 results */");
        // The tree: a "+" and a "0" per Add, the Number's 1 two deeper than the last Add.
        const std::string& tree = lines[8];
        EXPECT_EQ(std::count(tree.begin(), tree.end(), '\n'), 2 * n + 2);
        EXPECT_NE(tree.find("\n" + std::string(4 + 2 * n + 2, ' ') + "1\n"), std::string::npos);
        EXPECT_EQ(lines[9], "    printf(\"%-8s %-16s = %g\\n\", \"result\", \"" + expression +
                                "\", (double)(" + expression + "));");
    }
}

TEST(Cycles, ValuesReferringToThemselvesEndAndAreReported) {
    const char* cases[][2] = {
        {"x", "$(x)"},          // itself, nothing else
        {"x", "a$(x)b"},        // grows without end in the plain algorithm
        {"x", "$(x)$(x)"},      // doubles
        {"x", "$(y)"},          // own variable -> section -> own variable
        {"x", "$(g1)"},         // through the globals
        {"x", "$(undefined1)"}, // through a default that is unresolved itself
        {"x", "$(z$(x))"},      // inside a name being built
    };
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(value);
        auto defs = parseDefinitions(R"d(
            block T ( : ) { y "[$(x)]" }
            g1 "$(g2)"
            g2 "$(x)"
            default "<$(undefined2)>"
        )d");
        TestDesign design;
        auto& t = design.add("T", 0, 0);
        t.set(name, value);
        TestRun run(*defs, design);
        run.expand("$(x)", &t);
        EXPECT_EQ(run.reporter.reported, Reported{&t});
        EXPECT_EQ(run.generator.error().node, run.generator.node(&t));
    }
}

TEST(Cycles, AfterAnErrorEveryLaterExpansionTakesOneStep) {
    auto defs = parseDefinitions(R"d(
        block N ( o : in ) { o "$(in)" body "$(in)" }
        first "before $(num) $(num)"
        last "after $(num) $(num)"
        file "" first body last ;
    )d");
    TestDesign design;
    auto& a = design.add("N", 0, 0, 1, 1);
    auto& b = design.add("N", 10, 0, 1, 1);
    design.wire(b, 1, a, 1);
    design.wire(a, 1, b, 1);
    TestRun run(*defs, design);
    const Lines lines = run.render();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "before 2 2");
    EXPECT_EQ(lines[3], "after 2 $(num)");
    // Met again in a later string, a circle is reported again (B's string, one step per
    // expansion, still goes round through A).
    EXPECT_EQ(run.reporter.reported, (Reported{&b, &a}));
    EXPECT_EQ(run.generator.error().node, run.generator.node(&a));
}
