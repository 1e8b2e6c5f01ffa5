// What a build relies on: compiler-style diagnostics, the listed outputs, dependency files that
// Make and Ninja read, and generated files that are never left half written.
#include "clifixture.h"

#include <QDateTime>
#include <QStandardPaths>

#include <algorithm>
#include <random>
#include <set>

namespace {

const QString kSource = QStringLiteral(DRAFTEL_SOURCE_DIR);

QStringList lines(const QByteArray& text) {
    return QString::fromLocal8Bit(text).split('\n', Qt::SkipEmptyParts);
}

std::set<QString> filesIn(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    return {names.begin(), names.end()};
}

} // namespace

// Every error example checked in one call, and designs that cannot be generated, each with its
// exact lines; the examples are those the user guide explains.
TEST_F(Cli, DiagnosticsNameTheFileAndLine) {
    ASSERT_TRUE(QFile::link(kSource + "/examples", m_dir.filePath("examples")));
    ASSERT_TRUE(QFile::link(kSource + "/defs", m_dir.filePath("defs")));
    const struct {
        const char* file;
        const char* diagnostic;
    } definitionErrors[] = {
        {"collect_without_name", ":2: error: Expecting an identifier after 'collect'."},
        {"edit_without_name", ":2: error: Expecting an identifier after 'edit'."},
        {"equals_sign", ":2: error: Expecting a string or an identifier."},
        {"missing_close_brace", ":5: error: Expecting a string or an identifier."},
        {"missing_comma", ":1: error: Expecting input parameter for block definition."},
        {"missing_final_brace", ":4: error: Expecting a '}' or an identifier."},
        {"missing_open_brace", ":2: error: Expecting a '{'"},
        {"missing_parameter_list", ":1: error: Expecting parameter list for block definition."},
        {"missing_semicolon", ":3: error: Expecting an identifier or a semicolon."},
        {"quoted_block_name", ":1: error: Expecting name for block definition."},
        {"quoted_parameter", ":1: error: Expecting output parameter for block definition."},
        {"semicolon_after_value", ":2: error: Expecting a '}' or an identifier."},
        {"semicolon_for_colon",
         ":1: error: Expecting comma or colon in block parameter definition."},
        {"unclosed_comment",
         ":3: warning: This block comment is never closed: the rest of the file is ignored."},
        {"unclosed_string", ": error: File error while reading"},
        {"unquoted_file_name", ":2: error: Expecting a string after the file token."},
        {"unquoted_section_value", ":2: error: Expecting a string or an identifier."},
        {"unquoted_value", ":2: error: Syntax error."},
    };
    // A sound file says nothing; a missing one cannot be opened.
    QStringList checked{"--check", "defs/signal_chain.def", "defs/no_such_file.def"};
    QStringList expected{"defs/no_such_file.def: error: File open error"};
    for (const auto& error : definitionErrors) {
        checked << QString("examples/errors/%1.def").arg(error.file);
        expected << checked.last() + error.diagnostic;
    }
    EXPECT_EQ(QDir(kSource + "/examples/errors").entryList({"*.def"}).size(),
              std::size(definitionErrors));
    Outcome r = run(checked, m_dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(lines(r.err), expected);
    EXPECT_TRUE(r.out.isEmpty());
    // A file that only warns passes.
    r = run({"--check", "examples/errors/unclosed_comment.def"}, m_dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();

    // Designs, each generated as if alone: the worst status wins, and the sound one is written.
    write("broken/guide_expressions.def", "block Add ( out : a {\n");
    QDir(m_dir.path()).mkpath("empty");
    const struct {
        QStringList args;
        int exitCode;
        QStringList diagnostics;
        bool writesFormula;
    } runs[] = {
        {{"--defs", "defs", "examples/errors/feedback_loop.des", "absent.des",
          "examples/formula.des"},
         2,
         {"examples/errors/feedback_loop.des: error: The Design contains a circular definition "
          "(block 3, of type Multiply, at 280, 50).",
          "examples/errors/feedback_loop.des: note: feedback_loop.c was not written",
          "absent.des: error: The design file absent.des cannot be read: No such file or "
          "directory."},
         true},
        {{"--defs", "defs", "examples/errors/feedback_loop.des"},
         1,
         {"examples/errors/feedback_loop.des: error: The Design contains a circular definition "
          "(block 3, of type Multiply, at 280, 50).",
          "examples/errors/feedback_loop.des: note: feedback_loop.c was not written"},
         false},
        {{"--defs", "broken", "examples/formula.des"},
         2,
         {"broken/guide_expressions.def:1: error: Expecting input parameter for block "
          "definition."},
         false},
        {{"--defs", "empty", "--list-outputs", "examples/formula.des"},
         2,
         {"empty/guide_expressions.def: error: File open error"},
         false},
    };
    for (const auto& c : runs) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QFile::remove(m_dir.filePath("formula.c"));
        r = run(c.args, m_dir.path());
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(lines(r.err), c.diagnostics);
        EXPECT_EQ(QFile::exists(m_dir.filePath("formula.c")), c.writesFormula);
    }
}

// --list-outputs names exactly the files that generation then writes, and writes nothing: for
// every example design, and for random definition files whose sequences write to the chosen
// name itself, add suffixes, or repeat a name.
TEST_F(Cli, ListedOutputsAreTheFilesGenerationWrites) {
    struct Case {
        QString design;
        QString definitions;
    };
    std::vector<Case> cases;
    for (const QString& design : QDir(kSource + "/examples").entryList({"*.des"})) {
        cases.push_back({kSource + "/examples/" + design, kSource + "/defs"});
    }
    cases.push_back({kSource + "/examples/cmake-project/conversions.des",
                     kSource + "/examples/cmake-project/defs"});

    std::mt19937 random(16);
    const char* names[] = {"", ".c", ".h", "_table.txt", ".c", "-2"};
    for (int round = 0; round < 12; ++round) {
        QByteArray text = "block A ( o : i ) { edit v \"x\" o \"$(i)\" body \"$(v)\" }\n";
        const int sequences = 1 + int(random() % 5);
        for (int k = 0; k < sequences; ++k) {
            text += QByteArray("file \"") + names[random() % std::size(names)] + "\" body ;\n";
        }
        const QString folder = QString("defs%1").arg(round);
        write(folder + "/random.def", text);
        const QString design = m_dir.filePath(folder + "/random.des");
        EXPECT_TRUE(writeDesignFile(design, twoBlocks("random.def", "base", false)));
        cases.push_back({design, m_dir.filePath(folder)});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.design.toStdString());
        const QTemporaryDir work;
        const Outcome listed =
            run({"--defs", c.definitions, "--list-outputs", c.design}, work.path());
        ASSERT_EQ(listed.exitCode, 0) << listed.err.constData();
        EXPECT_TRUE(filesIn(work.path()).empty());
        const QStringList outputs = lines(listed.out);
        EXPECT_EQ(QSet<QString>(outputs.begin(), outputs.end()).size(), outputs.size());

        const Outcome generated = run({"--defs", c.definitions, c.design}, work.path());
        ASSERT_EQ(generated.exitCode, 0) << generated.err.constData();
        EXPECT_EQ(filesIn(work.path()), std::set<QString>(outputs.begin(), outputs.end()));
    }
}

// The dependency file, read by Ninja and by Make in their own build files: after a build,
// nothing is to do, and a touched definition file (named only there) makes the outputs stale.
// Folder names hold the characters those readers give a meaning.
TEST_F(Cli, DependencyFilesAreReadByNinjaAndMake) {
    const QString ninja = QStandardPaths::findExecutable("ninja");
    const QString make = QStandardPaths::findExecutable("make");
    if (ninja.isEmpty() || make.isEmpty()) {
        GTEST_SKIP() << "ninja or make is not installed (scripts/install-deps.sh installs them)";
    }
    const QByteArray definitions = "block A ( o : i ) { o \"$(i)\" body \"$(v)\" }\n"
                                   "file \".c\" body ;\nfile \".h\" body ;\n";
    const char* folders[] = {"plain",    "with space",  "dollar$sign",  "hash#mark",
                             "colon:in", "back\\slash", "back\\ space", "ends\\"};
    int round = 0;
    for (const char* folder : folders) {
        SCOPED_TRACE(folder);
        const QString defs = m_dir.filePath(QString::fromLatin1(folder));
        const QString definitionFile = write(QString::fromLatin1(folder) + "/one.def", definitions);
        const QString design = defs + "/one.des";
        ASSERT_TRUE(writeDesignFile(design, twoBlocks("one.def", "ignored", false)));

        // Each tool knows only the outputs; every input comes from the dependency file.
        const auto quoted = [](const QString& path) {
            return "'" + QString(path).replace('$', "$$") + "'";
        };
        const QString command = quoted(DRAFTEL_GEN) + " --defs " + quoted(defs) +
                                " --output out --depfile out.d " + quoted(design);
        const QString ninjaName = QString("ninja%1").arg(round);
        const QString makeName = QString("make%1").arg(round++);
        write(ninjaName + "/build.ninja", ("rule gen\n  command = " + command +
                                           "\n  depfile = out.d\n"
                                           "build out.c out.h: gen\n")
                                              .toLocal8Bit());
        write(makeName + "/Makefile",
              ("out.c:\n\t" + command + "\n-include out.d\n").toLocal8Bit());
        const QString ninjaDir = m_dir.filePath(ninjaName);
        const QString makeDir = m_dir.filePath(makeName);

        const Outcome built = runProgram(ninja, {}, ninjaDir);
        ASSERT_EQ(built.exitCode, 0) << built.out.constData() << built.err.constData();
        ASSERT_EQ(runProgram(make, {}, makeDir).exitCode, 0);
        EXPECT_TRUE(runProgram(ninja, {"-n"}, ninjaDir).out.contains("no work to do"));
        EXPECT_EQ(runProgram(make, {"-q"}, makeDir).exitCode, 0);

        // Later than anything just written, whatever the file system's clock granularity.
        QFile file(definitionFile);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(10),
                                     QFileDevice::FileModificationTime));
        file.close();
        EXPECT_FALSE(runProgram(ninja, {"-n"}, ninjaDir).out.contains("no work to do"));
        EXPECT_EQ(runProgram(make, {"-q"}, makeDir).exitCode, 1);
    }
}

// A run killed while writing (here by the file-size limit), or failing to write, leaves the
// previous file as it was and no temporary file beside it.
TEST_F(Cli, AnInterruptedWriteKeepsThePreviousFile) {
    const QByteArray big(200000, 'x');
    write("defs/big.def", "block A ( o : i ) { }\nbig \"" + big + "\"\nfile \".txt\" big ;\n");
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("big.des"), twoBlocks("big.def", "out", false)));
    const QByteArray previous = "a complete file from an earlier run\n";
    const QString command = QString("ulimit -f 64; exec '%1' --defs defs --depfile out.d big.des")
                                .arg(QStringLiteral(DRAFTEL_GEN));
    for (const QString& signal : {QString(), QString("trap '' XFSZ; ")}) {
        SCOPED_TRACE(signal.toStdString());
        write("out.txt", previous);
        const Outcome r = runProgram("bash", {"-c", signal + command}, m_dir.path());
        EXPECT_NE(r.exitCode, 0);
        if (!signal.isEmpty()) {
            EXPECT_TRUE(r.err.startsWith("out.txt: error: cannot be written: "))
                << r.err.constData();
        }
        EXPECT_EQ(contents(m_dir.filePath("out.txt")), previous);
        EXPECT_EQ(filesIn(m_dir.path()), (std::set<QString>{"big.des", "out.txt"}));
    }
    // Without the limit the new file replaces it.
    EXPECT_EQ(run({"--defs", "defs", "big.des"}, m_dir.path()).exitCode, 0);
    EXPECT_EQ(contents(m_dir.filePath("out.txt")), big + "\n");
}
