#include "testdesign.h"

#include "generator/generatedfiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const char* kTwoFiles = R"d(
    block T ( : ) { body "t$(u_id) $(value)" edit value "v" }
    head "// head"
    head "two
lines"
    file "" head body ;
    file ".h" head ;
)d";

} // namespace

TEST(GeneratedFiles, EmptyDesignWritesEveryFileWithItsGlobalParts) {
    auto defs = parseDefinitions(kTwoFiles);
    QTemporaryDir dir;
    const QString base = dir.filePath("out.c");
    RecordingReporter reporter;
    const GenerateOutcome outcome = writeGeneratedFiles(*defs, {}, base, reporter);
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(contents(base), "// head\ntwo\nlines\n");
    EXPECT_EQ(contents(base + ".h"), "// head\ntwo\nlines\n");
    EXPECT_TRUE(reporter.reported.empty());
}

TEST(GeneratedFiles, EachSequenceGoesToTheBaseFollowedByItsName) {
    auto defs = parseDefinitions(kTwoFiles);
    TestDesign design;
    design.add("T", 10, 10).set("value", "second");
    design.add("T", 0, 0).set("value", "first");
    QTemporaryDir dir;
    const QString base = dir.filePath("out.c");
    {
        QFile old(base); // longer than what is written: must be emptied first
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000, 'x'));
    }
    RecordingReporter reporter;
    const GenerateOutcome outcome = writeGeneratedFiles(*defs, design.views(), base, reporter);
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(contents(base), "// head\ntwo\nlines\nt1 first\nt2 second\n");
    EXPECT_EQ(contents(base + ".h"), "// head\ntwo\nlines\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(GeneratedFiles, CircleInTheSecondOfThreeKeepsTheFirstOnly) {
    auto defs = parseDefinitions(R"d(
        block N ( o : in ) { o "$(in)" run "$(in)" }
        block Plain ( : ) { plain "plain $(u_id)" }
        one "one"
        three "three"
        file ".1" one plain ;
        file ".2" run ;
        file ".3" three ;
    )d");
    TestDesign design;
    design.add("Plain", 0, 0);
    auto& a = design.add("N", 10, 0, 1, 1);
    auto& b = design.add("N", 20, 0, 1, 1);
    design.wire(b, 1, a, 1);
    design.wire(a, 1, b, 1);
    QTemporaryDir dir;
    const QString base = dir.filePath("gen");
    RecordingReporter reporter;
    const GenerateOutcome outcome = writeGeneratedFiles(*defs, design.views(), base, reporter);
    EXPECT_EQ(outcome.status, GenerateOutcome::Status::Circular);
    EXPECT_EQ(outcome.fileName, base + ".2");
    EXPECT_EQ(contents(base + ".1"), "one\nplain 1\n");
    EXPECT_FALSE(QFile::exists(base + ".2"));
    EXPECT_FALSE(QFile::exists(base + ".3"));
    // Every detection is told; the outcome names the last, as the error indicator does.
    ASSERT_FALSE(reporter.reported.empty());
    EXPECT_EQ(reporter.reported.front(), &b);
    EXPECT_EQ(outcome.block, reporter.reported.back());
}

TEST(GeneratedFiles, FileLevelCircleHasNoBlock) {
    auto defs = parseDefinitions(R"d(
        a "$(a)"
        file "" a ;
        file ".never" a ;
    )d");
    QTemporaryDir dir;
    RecordingReporter reporter;
    const QString base = dir.filePath("f");
    const GenerateOutcome outcome = writeGeneratedFiles(*defs, {}, base, reporter);
    EXPECT_EQ(outcome.status, GenerateOutcome::Status::Circular);
    EXPECT_EQ(outcome.block, nullptr);
    EXPECT_EQ(reporter.reported, std::vector<const BlockView*>{nullptr});
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(GeneratedFiles, UnwritableFileStopsTheRunWithTheSystemsReason) {
    auto defs = parseDefinitions(R"d(
        g "g"
        file ".a" g ;
        file "/missing/dir.b" g ;
        file ".c" g ;
    )d");
    QTemporaryDir dir;
    const QString base = dir.filePath("w");
    RecordingReporter reporter;
    const GenerateOutcome outcome = writeGeneratedFiles(*defs, {}, base, reporter);
    EXPECT_EQ(outcome.status, GenerateOutcome::Status::WriteError);
    EXPECT_EQ(outcome.fileName, base + "/missing/dir.b");
    EXPECT_FALSE(outcome.reason.isEmpty());
    EXPECT_EQ(contents(base + ".a"), "g\n");
    EXPECT_FALSE(QFile::exists(base + ".c"));
}

TEST(GeneratedFiles, BlockOfAnUnknownTypeWritesNothing) {
    auto defs = parseDefinitions(kTwoFiles);
    TestDesign design;
    design.add("T", 0, 0);
    auto& stranger = design.add("Missing", 5, 5);
    QTemporaryDir dir;
    RecordingReporter reporter;
    const GenerateOutcome outcome =
        writeGeneratedFiles(*defs, design.views(), dir.filePath("x"), reporter);
    EXPECT_EQ(outcome.status, GenerateOutcome::Status::UnknownType);
    EXPECT_EQ(outcome.block, &stranger);
    EXPECT_EQ(outcome.reason, "Missing");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// Runaway definitions that would only end after absurd amounts of work or output: the run
// stops at the bound with its own outcome, no circle is reported, the file in progress is
// deleted, and the files before it stay.
TEST(GeneratedFiles, RunawayDefinitionsStopAtABoundNotAsCircles) {
    // The second file writes x0, or every Add block's expression.
    const auto doubling = [](const char* leaf, const char* second) {
        std::string defs = "first \"first file\"\nfile \".1\" first ;\nfile \".2\" " +
                           std::string(second) +
                           " ;\nfile \".3\" first ;\nblock Number ( out : ) { out \"1\" }\n"
                           "block Add ( out : a, b ) { out \"($(a) + $(b))\" body \"$(out)\" }\n";
        for (int i = 0; i < 40; ++i)
            defs += "x" + std::to_string(i) + " \"$(x" + std::to_string(i + 1) + ")$(x" +
                    std::to_string(i + 1) + ")\"\n";
        return defs + "x40 \"" + leaf + "\"\n";
    };
    struct Runaway {
        const char* what;
        std::string definitions;
        int fedTwice; // levels of Add blocks, each fed twice by the one before
        GenerationLimits limits;
        GenerationStop stop;
    };
    const std::vector<Runaway> cases = {
        {"a tree doubling forty times, empty leaves",
         doubling("", "x0"),
         0,
         {1 << 30, 100000},
         GenerationStop::Steps},
        {"a tree doubling forty times",
         doubling("ab", "x0"),
         0,
         {1 << 20, 1ull << 40},
         GenerationStop::OutputSize},
        {"blocks each fed twice by the one before",
         doubling("", "body"),
         24,
         {1 << 20, 1ull << 40},
         GenerationStop::OutputSize},
    };
    for (const Runaway& c : cases) {
        SCOPED_TRACE(c.what);
        auto defs = parseDefinitions(c.definitions);
        TestDesign design;
        if (c.fedTwice > 0) {
            TestBlock* previous = &design.add("Number", 0, 0, 0, 1);
            for (int level = 1; level <= c.fedTwice; ++level) {
                TestBlock& add = design.add("Add", 10 * level, 0, 2, 1);
                design.wire(*previous, 1, add, 1);
                design.wire(*previous, 1, add, 2);
                previous = &add;
            }
        }
        QTemporaryDir dir;
        const QString base = dir.filePath("run");
        RecordingReporter reporter;
        const GenerateOutcome outcome =
            writeGeneratedFiles(*defs, design.views(), base, reporter, c.limits);
        EXPECT_EQ(outcome.status, GenerateOutcome::Status::Stopped);
        EXPECT_EQ(outcome.stop, c.stop);
        EXPECT_EQ(outcome.fileName, base + ".2");
        EXPECT_TRUE(reporter.reported.empty());
        EXPECT_EQ(contents(base + ".1"), "first file\n");
        EXPECT_FALSE(QFile::exists(base + ".2"));
        EXPECT_FALSE(QFile::exists(base + ".3"));
        EXPECT_TRUE(generationStoppedMessage(outcome.stop, c.limits)
                        .startsWith(QStringLiteral("Generation stopped: the ")));
    }
}
