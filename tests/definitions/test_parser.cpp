#include "testhelpers.h"

#include "definitions/definitioncheck.h"
#include "definitions/filecharsource.h"

#include <gtest/gtest.h>

#include <QDir>

#include <tuple>

namespace {
using Strings = std::vector<std::string>;

std::string failure(const std::string& text) {
    DefinitionSet set;
    ReadResult r = readText(set, text);
    EXPECT_TRUE(r.failed) << text;
    return r.error;
}

Strings blockNames(const DefinitionSet& set) {
    Strings out;
    for (auto entry : set.blocks())
        out.push_back(entry.name);
    return out;
}

Strings sectionNames(const BlockDefinition& def) {
    Strings out;
    for (auto entry : def.sections())
        out.push_back(entry.name);
    return out;
}
} // namespace

TEST(Parser, ExampleFileGivesItsModel) {
    DefinitionSet set;
    Tokenizer tokenizer(
        std::make_unique<FileCharSource>(QDir(DRAFTEL_TEST_DATA).filePath("example.def")));
    ASSERT_FALSE(set.read(tokenizer)) << tokenizer.errorText();
    EXPECT_FALSE(tokenizer.hasError());

    EXPECT_EQ(set.globals().count(), 1);
    EXPECT_EQ(values(set.globalValues("prologue")), (Strings{"first line", "second line"}));
    EXPECT_EQ(blockNames(set), (Strings{"Gain", "Sum"}));

    const BlockDefinition* gain = set.blocks().find("Gain");
    ASSERT_NE(gain, nullptr);
    EXPECT_STREQ(gain->output(0), "out");
    EXPECT_EQ(gain->outputCount(), 1);
    EXPECT_STREQ(gain->input(0), "in");
    EXPECT_EQ(gain->inputCount(), 1);
    EXPECT_EQ(gain->editNames(), Strings{"factor"});
    EXPECT_TRUE(gain->collectNames().empty());
    EXPECT_EQ(sectionNames(*gain), (Strings{"-decl", "body", "category", "factor"}));
    EXPECT_EQ(values(gain->section("body")), Strings{"out = in * factor;"});
    EXPECT_EQ(values(gain->section("category")), Strings{"Math"});
    EXPECT_EQ(values(gain->section("factor")), Strings{"2"});
    EXPECT_EQ(values(gain->section("-decl")), Strings{"double out;"});

    const BlockDefinition* sum = set.blocks().find("Sum");
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->outputCount(), 1);
    EXPECT_STREQ(sum->output(0), "total");
    EXPECT_EQ(sum->inputCount(), 2);
    EXPECT_STREQ(sum->input(0), "a");
    EXPECT_STREQ(sum->input(1), "b");
    EXPECT_EQ(sum->collectNames(), Strings{"total"});
    EXPECT_TRUE(sum->editNames().empty());
    EXPECT_EQ(sectionNames(*sum), Strings{"body"});
    EXPECT_EQ(values(sum->section("body")), Strings{"first\nsecond"});

    ASSERT_EQ(set.sequences().size(), 1u);
    FileSequence& seq = *set.sequences()[0];
    EXPECT_STREQ(seq.fileName(), "result.txt");
    EXPECT_EQ(seq.steps(), (Strings{"prologue", "decl", "body"}));
}

TEST(Parser, EveryMessageWithItsLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"\n\n42\n", "Syntax error. Line: 3"},
        {"a \"x\" \"y\"\n", "Syntax error. Line: 1"},
        {"name\n;", "Syntax error. Line: 1"},
        {"\"s\"", "Syntax error. Line: 1"},
        {"\x01", "Syntax error. Line: 1"},
        {"block\n\"s\"", "Expecting name for block definition. Line: 2"},
        {"block A { }", "Expecting parameter list for block definition. Line: 1"},
        {"block A ( ; ) { }", "Expecting output parameter for block definition. Line: 1"},
        {"block A ( , ) { }", "Expecting output parameter for block definition. Line: 1"},
        {"block A ( x\n y ) { }",
         "Expecting comma or colon in block parameter definition. Line: 2"},
        {"block A ( x : y : z ) { }", "Expecting input parameter for block definition. Line: 1"},
        {"block A ( : 1 ) { }", "Expecting input parameter for block definition. Line: 1"},
        {"block A ( : y\n ;", "Expecting input parameter for block definition. Line: 2"},
        {"block A ( ) \n\n x", "Expecting a '{' Line: 3"},
        {"block A ( ) { \"s\" }", "Expecting a '}' or an identifier. Line: 1"},
        {"block A ( ) { edit\n 7 }", "Expecting an identifier after 'edit'. Line: 2"},
        {"block A ( ) { collect ; }", "Expecting an identifier after 'collect'. Line: 1"},
        {"block A ( ) { edit collect \"s\" }", "Expecting an identifier after 'collect'. Line: 1"},
        {"block A ( ) { k\n\n k2 }", "Expecting a string or an identifier. Line: 3"},
        {"file x ;", "Expecting a string after the file token. Line: 1"},
        {"file \"o\" a, b;", "Expecting an identifier or a semicolon. Line: 1"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(failure(text), message) << text;
}

TEST(Parser, ErrorsAtTheEndOfTheFile) {
    // A missing brace fails on the line after the last newline.
    EXPECT_EQ(failure("block A ( ) {\n k \"v\"\n\n"), "Expecting a '}' or an identifier. Line: 4");
    EXPECT_EQ(failure("file \"o\" a b\n"), "Expecting an identifier or a semicolon. Line: 2");
    // The input ran into its end inside the last identifier.
    EXPECT_EQ(failure("file \"o\" a b"), "Expecting an identifier or a semicolon. Line: 1");
    EXPECT_EQ(failure("name"), "Syntax error. Line: 1");

    DefinitionSet set;
    ReadResult r = readText(set, "g \"one\"\ng \"two, left open");
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "File error while reading");
    EXPECT_EQ(values(set.globalValues("g")), (Strings{"one", "two, left open"}));

    DefinitionSet missing;
    Tokenizer t(std::make_unique<FileCharSource>("/nonexistent/none.def"));
    EXPECT_TRUE(missing.read(t));
    EXPECT_STREQ(t.errorText(), "File open error");
}

TEST(Parser, EmptyAndCommentOnlyFilesReadIntoAnEmptySet) {
    for (const char* text : {"", "  \n\t\r\n", "# a\n// b\n/* c\n */", "// no newline at the end",
                             "/* never closed\n block A ( ) {"}) {
        DefinitionSet set;
        ReadResult r = readText(set, text);
        EXPECT_FALSE(r.failed) << text << ": " << r.error;
        EXPECT_TRUE(set.blocks().isEmpty());
        EXPECT_TRUE(set.globals().isEmpty());
        EXPECT_TRUE(set.sequences().empty());
    }
}

TEST(Parser, ParameterLists) {
    DefinitionSet set;
    ReadResult r = readText(set, "block A () { }\n"
                                 "block B ( : ) { }\n"
                                 "block C ( x, ) { }\n"
                                 "block D ( : y, ) { }\n"
                                 "block E ( o1, o2 : i1, i2 ) { }\n");
    ASSERT_FALSE(r.failed) << r.error;
    auto ports = [&](const char* name) {
        const BlockDefinition* d = set.blocks().find(name);
        std::string out;
        for (int i = 0; d->output(i); ++i)
            out += std::string(d->output(i)) + " ";
        out += ":";
        for (int i = 0; d->input(i); ++i)
            out += std::string(" ") + d->input(i);
        return out;
    };
    EXPECT_EQ(ports("A"), ":");
    EXPECT_EQ(ports("B"), ":");
    EXPECT_EQ(ports("C"), "x :");
    EXPECT_EQ(ports("D"), ": y");
    EXPECT_EQ(ports("E"), "o1 o2 : i1 i2");
}

TEST(Parser, BodyMarksMinusAndValues) {
    DefinitionSet set;
    ReadResult r = readText(set, "block A ( ) {\n"
                                 "  k \"a\" \"b\"\n"
                                 "  k \"c\"\n"
                                 "    \"d\" \"e\"\n"
                                 "  collect c1 \"dropped\"\n"
                                 "  edit collect c2 \"dropped\"\n"
                                 "  collect edit c3 \"dropped\"\n"
                                 "  edit e1 \"1\"\n"
                                 "  edit e1 \"again\"\n"
                                 "  - - m \"minus\"\n"
                                 "  - edit me \"x\"\n"
                                 "  edit edit \"key is edit\"\n"
                                 "  collect collect \"key is collect\"\n"
                                 "  block \"a key\" file \"another\"\n"
                                 "  -\n"
                                 "}\n");
    ASSERT_FALSE(r.failed) << r.error;
    const BlockDefinition* a = set.blocks().find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(values(a->section("k")), (Strings{"ab", "c\nde"}));
    EXPECT_EQ(a->collectNames(), (Strings{"c1", "c2", "c3", "collect"}));
    EXPECT_EQ(a->editNames(), (Strings{"c2", "c3", "e1", "e1", "me", "edit"}));
    EXPECT_EQ(sectionNames(*a), (Strings{"-m", "-me", "block", "e1", "edit", "file", "k"}));
    EXPECT_EQ(values(a->section("e1")), (Strings{"1", "again"}));
    EXPECT_EQ(values(a->section("-m")), Strings{"minus"});
    EXPECT_EQ(values(a->section("edit")), Strings{"key is edit"});
    EXPECT_EQ(a->section("me"), nullptr);
    EXPECT_TRUE(a->isCollect("c2"));
}

TEST(Parser, StatementOrderAndGlobals) {
    DefinitionSet set;
    ReadResult r = readText(set, "g \"1\"\n"
                                 "file \"out.c\" g ;\n"
                                 "block Z ( ) { }\n"
                                 "g \"2\" h \"x\"\n"
                                 "file \"empty.c\" ;\n"
                                 "g \"3\"\n");
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(values(set.globalValues("g")), (Strings{"1", "2", "3"}));
    EXPECT_EQ(values(set.globalValues("h")), Strings{"x"});
    EXPECT_EQ(set.globalValues("Z"), nullptr);
    ASSERT_EQ(set.sequences().size(), 2u);
    EXPECT_STREQ(set.sequences()[0]->fileName(), "out.c");
    EXPECT_STREQ(set.sequences()[1]->fileName(), "empty.c");
    EXPECT_EQ(set.sequences()[1]->firstStep(), nullptr);

    // "block" and "file" always start their own statements.
    EXPECT_EQ(failure("block \"s\""), "Expecting name for block definition. Line: 1");
    EXPECT_EQ(failure("file \"s\""), "Expecting an identifier or a semicolon. Line: 1");
}

TEST(Parser, DuplicateBlocksKeepTheFirst) {
    DefinitionSet set;
    ReadResult r = readText(set, "block b (x) { s \"first\" }\n"
                                 "block B () { }\n"
                                 "block _x () { }\n"
                                 "block a1 () { }\n"
                                 "block b (y : z) { s \"second\" t \"t\" }\n");
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(blockNames(set), (Strings{"B", "_x", "a1", "b"}));
    const BlockDefinition* b = set.blocks().find("b");
    EXPECT_STREQ(b->output(0), "x");
    EXPECT_EQ(b->input(0), nullptr);
    EXPECT_EQ(values(b->section("s")), Strings{"first"});
    EXPECT_EQ(b->section("t"), nullptr);
}

TEST(Parser, PartialResultsStayAfterTheFirstError) {
    DefinitionSet set;
    ReadResult r = readText(set, "g \"kept\"\n"
                                 "block Done () { }\n"
                                 "file \"f\" s ;\n"
                                 "block Broken (x) { k \"v\" 5 }\n" // first error, line 4
                                 "block Later () { }\n"
                                 "+\n");
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "Expecting a '}' or an identifier. Line: 4");
    EXPECT_EQ(blockNames(set), Strings{"Done"});
    EXPECT_EQ(set.sequences().size(), 1u);
    EXPECT_EQ(values(set.globalValues("g")), Strings{"kept"});
}

TEST(Check, ReportsTheErrorAndUnclosedBlockCommentsByLine) {
    using Severity = DefinitionDiagnostic::Severity;
    constexpr auto E = Severity::Error, W = Severity::Warning;
    const std::string unclosed = "This block comment is never closed: the rest of the file is "
                                 "ignored.";
    struct Case {
        std::string text;
        std::vector<std::tuple<Severity, int, std::string>> expected;
    };
    const Case cases[] = {
        {"a \"1\"\n/* closed */ b \"2\" /*/ still open */\n", {}},
        {"a \"1\"\n\n/* never\n closed\n", {{W, 3, unclosed}}},
        // The comment swallows the rest of a block, and the parser then misses its brace.
        {"block A ( : ) {\n  /* x \"1\"\n}\n",
         {{W, 2, unclosed}, {E, 4, "Expecting a '}' or an identifier."}}},
        // An error before the comment stops the read before the comment is seen.
        {"42\n/* open\n", {{E, 1, "Syntax error."}}},
        {"g \"open string /* \n", {{E, 0, "File error while reading"}}},
        // Line comments and comment markers in strings never open a block comment.
        {"# /*\n// /*\ns \"/*\"\n", {}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        DefinitionSet set;
        std::vector<std::tuple<Severity, int, std::string>> found;
        for (const DefinitionDiagnostic& d :
             checkDefinitionFile(writeFile(dir, "case.def", c.text), set))
            found.emplace_back(d.severity, d.line, d.message);
        EXPECT_EQ(found, c.expected) << c.text;
    }
    DefinitionSet set;
    const auto missing = checkDefinitionFile(dir.filePath("missing.def"), set);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].message, "File open error");
    EXPECT_EQ(missing[0].line, 0);
    EXPECT_TRUE(hasError(missing));
}
