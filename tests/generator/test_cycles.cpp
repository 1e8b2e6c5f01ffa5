#include "testdesign.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;
using Reported = std::vector<const BlockView*>;

TEST(Cycles, ConnectionsInACircleAreReportedAtTheRepeatedPair) {
    auto defs = parseDefinitions(R"d(
        block N ( o : in ) { o "($(in))" }
    )d");
    TestDesign design;
    auto& a = design.add("N", 0, 0, 1, 1);
    auto& b = design.add("N", 10, 0, 1, 1);
    design.wire(b, 1, a, 1);
    design.wire(a, 1, b, 1);
    TestRun run(*defs, design);
    run.expand("$(in)", &a);
    // (B, o) is resolved from A's input, then (A, o) from B's, then (B, o) again.
    EXPECT_EQ(run.reporter.reported, Reported{&b});
    ASSERT_TRUE(run.generator.error().set);
    EXPECT_EQ(run.generator.error().node, run.generator.node(&b));
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

TEST(Cycles, GlobalsInACircleAreReportedAtTheFileLevel) {
    auto defs = parseDefinitions(R"d(
        a "1$(b)"
        b "2$(a)"
        block T ( : ) { }
    )d");
    TestDesign design;
    design.add("T", 0, 0);
    TestRun run(*defs, design);
    run.expand("$(a)");
    EXPECT_EQ(run.reporter.reported, Reported{nullptr});
    EXPECT_TRUE(run.generator.error().set);
    EXPECT_EQ(run.generator.error().node, nullptr);
}

TEST(Cycles, RepeatedButFiniteUseIsNoCycle) {
    auto defs = parseDefinitions(R"d(
        block Src ( o : ) { o "s$(u_id)" }
        block Pass ( o : i ) { o "($(i))" }
        block Fan ( o : ) { collect o "" o_delimiter "+" }
        block Leaf ( : i ) { v "$(c)" }
        a "$(b)$(b)-$(b)"
        b "$(c)$(c)"
        c "x"
    )d");
    TestDesign design;
    auto& src = design.add("Src", 0, 0, 0, 1);
    TestBlock* previous = &src;
    for (int i = 1; i <= 50; ++i) {
        auto& pass = design.add("Pass", i, 0, 1, 1);
        design.wire(*previous, 1, pass, 1);
        previous = &pass;
    }
    auto& fan = design.add("Fan", 100, 0, 0, 1);
    for (int i = 0; i < 3; ++i)
        design.wire(fan, 1, design.add("Leaf", 200 + i, 0, 1, 0), 1);
    TestRun run(*defs, design);
    EXPECT_EQ(run.expand("$(a)"), "xxxx-xx");
    EXPECT_EQ(run.expand("$(i)", previous), std::string(49, '(') + "s1" + std::string(49, ')'));
    EXPECT_EQ(run.expand("$(o:v)", &fan), "x+x+x");
    EXPECT_TRUE(run.reporter.reported.empty());
    EXPECT_FALSE(run.generator.error().set);
}

TEST(Cycles, GatheringBackAndForthAlongWiresIsReported) {
    // A gathers from B, whose value gathers from A: no connection is ever resolved, since
    // collect outputs keep no value, so only the repeated gathering shows the circle.
    auto defs = parseDefinitions(R"d(
        block A ( o : i ) { collect o "" i "$(o)" }
        block B ( p : j ) { collect p "" j "$(p)" }
    )d");
    TestDesign design;
    auto& a = design.add("A", 0, 0, 1, 1);
    auto& b = design.add("B", 10, 0, 1, 1);
    design.wire(a, 1, b, 1);
    design.wire(b, 1, a, 1);
    TestRun run(*defs, design);
    run.expand("$(o)", &a);
    EXPECT_EQ(run.reporter.reported, Reported{&b});
    EXPECT_EQ(run.generator.error().node, run.generator.node(&b));
}

TEST(Cycles, CircleAcrossValueBoundariesEnds) {
    // Each round's reference is made of the inserted value and the text before it.
    auto defs = parseDefinitions(R"d(
        x ")$(pre$(x)"
        pre "P"
        block T ( : ) { }
    )d");
    TestDesign design;
    auto& t = design.add("T", 0, 0);
    TestRun run(*defs, design);
    run.expand("$(pre$(x)", &t);
    EXPECT_EQ(run.reporter.reported, Reported{&t});
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
