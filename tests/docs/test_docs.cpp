// The user guide (docs/definition-language.md) against the files it quotes and the program it
// describes: every definition example is taken from a shipped file, every generated text from
// the checked-in output, every command prints what the guide shows, and every shipped
// definition file is valid and used by an example design.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <vector>

namespace {

const QString kSource = QStringLiteral(DRAFTEL_SOURCE_DIR);
const QString kGuide = QStringLiteral(DRAFTEL_SOURCE_DIR "/docs/definition-language.md");

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// A fenced code block of the guide: the words after the opening ``` and the lines inside.
struct Fence {
    int line; // of the opening fence, counted from 1
    QStringList info;
    QStringList lines;
};

std::vector<Fence> fencesOf(const QString& markdown) {
    std::vector<Fence> fences;
    const QStringList lines = markdown.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith("```")) {
            continue;
        }
        Fence fence{i + 1, lines[i].mid(3).split(' ', Qt::SkipEmptyParts), {}};
        for (++i; i < lines.size() && lines[i] != "```"; ++i) {
            fence.lines << lines[i];
        }
        EXPECT_LT(i, lines.size()) << "unclosed fence at line " << fence.line;
        fences.push_back(fence);
    }
    return fences;
}

std::vector<Fence> fencesWith(const QString& first, const QString& second = {}) {
    std::vector<Fence> selected;
    for (const Fence& fence : fencesOf(readText(kGuide))) {
        if (!fence.info.isEmpty() && fence.info[0] == first &&
            (second.isEmpty() || (fence.info.size() > 1 && fence.info[1] == second))) {
            selected.push_back(fence);
        }
    }
    return selected;
}

// The files of a folder whose names match the filter, by name.
std::map<QString, QString> filesIn(const QString& folder, const QStringList& filter) {
    std::map<QString, QString> files;
    const QDir dir(kSource + "/" + folder);
    for (const QString& name : dir.entryList(filter, QDir::Files)) {
        files[folder + "/" + name] = readText(dir.filePath(name));
    }
    return files;
}

// True when the quoted lines stand in the text as whole lines. A line "..." in the quote leaves
// out some lines: the parts around it must then follow one another in that order.
bool quotes(const QString& text, const QStringList& quoted) {
    const QString haystack = "\n" + text + (text.endsWith('\n') ? "" : "\n");
    qsizetype from = 0;
    QStringList part;
    const auto findPart = [&]() {
        if (part.isEmpty()) {
            return true;
        }
        const QString needle = "\n" + part.join('\n') + "\n";
        const qsizetype at = haystack.indexOf(needle, from);
        if (at < 0) {
            return false;
        }
        from = at + needle.size() - 1;
        part.clear();
        return true;
    };
    for (const QString& line : quoted) {
        if (line.trimmed() == "...") {
            if (!findPart()) {
                return false;
            }
        } else {
            part << line;
        }
    }
    return findPart();
}

void expectQuotedFromOneOf(const std::vector<Fence>& fences,
                           const std::map<QString, QString>& files) {
    for (const Fence& fence : fences) {
        EXPECT_FALSE(fence.lines.join("").trimmed().isEmpty())
            << "empty block at line " << fence.line;
        bool found = false;
        for (const auto& [name, text] : files) {
            found = found || quotes(text, fence.lines);
        }
        EXPECT_TRUE(found) << "the block at line " << fence.line << " of the guide is in none of "
                           << files.size() << " files:\n"
                           << fence.lines.join('\n').toStdString();
    }
}

struct Outcome {
    int exitCode = -1;
    QString output; // standard output and error, merged
};

// Runs draftel-gen in a working directory that holds links to the shipped defs/ and examples/,
// so that commands written as in the repository work; the directory's path is removed from the
// output, so that a file written there reads as its bare name.
Outcome runInCopy(const QStringList& args) {
    QTemporaryDir dir;
    const QString work = QDir(dir.path()).canonicalPath();
    EXPECT_TRUE(QFile::link(kSource + "/defs", work + "/defs"));
    EXPECT_TRUE(QFile::link(kSource + "/examples", work + "/examples"));
    QProcess p;
    p.setWorkingDirectory(work);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(DRAFTEL_GEN), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    Outcome outcome{p.exitCode(), QString::fromUtf8(p.readAll())};
    outcome.output.replace(work + "/", "");
    return outcome;
}

// Every command line of the guide's console blocks, with the output shown after it.
struct Command {
    int line;
    QStringList args;
    QString expected;
};

std::vector<Command> commandsOfGuide() {
    std::vector<Command> commands;
    for (const Fence& fence : fencesWith("console")) {
        for (int i = 0; i < fence.lines.size(); ++i) {
            const QString& line = fence.lines[i];
            if (line.startsWith("$ ")) {
                commands.push_back(
                    {fence.line + 1 + i, line.mid(2).split(' ', Qt::SkipEmptyParts), {}});
            } else if (!commands.empty()) {
                commands.back().expected += line + "\n";
            } else {
                ADD_FAILURE() << "console block at line " << fence.line
                              << " does not start with a command";
            }
        }
    }
    return commands;
}

} // namespace

TEST(Guide, DefinitionExamplesAreQuotedFromShippedFiles) {
    const std::vector<Fence> fences = fencesWith("def");
    ASSERT_GE(fences.size(), 20u);
    std::map<QString, QString> files = filesIn("defs", {"*.def"});
    files.merge(filesIn("examples/errors", {"*.def"}));
    files.merge(filesIn("examples/cmake-project/defs", {"*.def"}));
    expectQuotedFromOneOf(fences, files);
    // And the build of the example project from its own file.
    expectQuotedFromOneOf(fencesWith("cmake"),
                          filesIn("examples/cmake-project", {"CMakeLists.txt"}));
}

TEST(Guide, GeneratedTextIsQuotedFromTheCheckedInOutput) {
    std::vector<Fence> fences;
    for (const Fence& fence : fencesOf(readText(kGuide))) {
        if (fence.info.size() > 1 && fence.info[1] == "generated") {
            fences.push_back(fence);
        }
    }
    ASSERT_GE(fences.size(), 3u);
    expectQuotedFromOneOf(fences, filesIn("examples/expected", {"*"}));
}

TEST(Guide, CommandsPrintWhatTheGuideShows) {
    const std::vector<Command> commands = commandsOfGuide();
    ASSERT_GE(commands.size(), 15u);
    for (const Command& command : commands) {
        ASSERT_FALSE(command.args.isEmpty());
        ASSERT_EQ(command.args[0], "draftel-gen") << "line " << command.line;
        const Outcome outcome = runInCopy(command.args.mid(1));
        EXPECT_EQ(outcome.output.toStdString(), command.expected.toStdString())
            << "the command on line " << command.line << " of the guide";
    }
}

TEST(Guide, LinkedFilesAndPicturesExist) {
    const QString guide = readText(kGuide);
    static const QRegularExpression link(R"(\]\(([^)#\s]+)(#[^)]*)?\))");
    int checked = 0;
    for (auto it = link.globalMatch(guide); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (target.contains("://")) {
            continue;
        }
        ++checked;
        EXPECT_TRUE(QFileInfo::exists(kSource + "/docs/" + target))
            << target.toStdString() << " is linked from the guide but does not exist";
    }
    EXPECT_GE(checked, 5);
}

TEST(ShippedDefinitions, PassTheCheckAndAreUsedByAnExampleDesign) {
    const std::map<QString, QString> definitions = filesIn("defs", {"*.def"});
    ASSERT_GE(definitions.size(), 3u);
    QList<QByteArray> designs;
    for (const QFileInfo& design :
         QDir(kSource + "/examples").entryInfoList({"*.des"}, QDir::Files)) {
        QFile file(design.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        designs << file.readAll();
    }
    for (const auto& [path, text] : definitions) {
        const Outcome outcome = runInCopy({"--check", path});
        EXPECT_EQ(outcome.exitCode, 0) << path.toStdString();
        EXPECT_EQ(outcome.output.toStdString(), "") << path.toStdString();
        // A design names its definition file as a zero-terminated string.
        const QByteArray name = QFileInfo(path).fileName().toLatin1() + '\0';
        bool used = false;
        for (const QByteArray& design : designs) {
            used = used || design.contains(name);
        }
        EXPECT_TRUE(used) << path.toStdString()
                          << " is used by no design in examples/, so nothing generates from it";
    }
}

TEST(ErrorExamples, FailAndAreShownInTheGuide) {
    QStringList shown;
    for (const Command& command : commandsOfGuide()) {
        shown << command.args;
    }
    const QDir errors(kSource + "/examples/errors");
    const QStringList definitions = errors.entryList({"*.def"}, QDir::Files);
    ASSERT_GE(definitions.size(), 14u);
    for (const QString& name : definitions) {
        const QString path = "examples/errors/" + name;
        const Outcome outcome = runInCopy({"--check", path});
        // An example of a warning passes the check.
        EXPECT_EQ(outcome.exitCode, outcome.output.contains(": warning: ") ? 0 : 2)
            << path.toStdString();
        EXPECT_FALSE(outcome.output.isEmpty()) << path.toStdString();
        EXPECT_TRUE(shown.contains(path)) << path.toStdString() << " is not shown in the guide";
    }
    const QStringList designs = errors.entryList({"*.des"}, QDir::Files);
    ASSERT_GE(designs.size(), 1u);
    for (const QString& name : designs) {
        const QString path = "examples/errors/" + name;
        const Outcome outcome = runInCopy({"--defs", "defs", path});
        EXPECT_EQ(outcome.exitCode, 1)
            << path.toStdString() << ": " << outcome.output.toStdString();
        EXPECT_TRUE(outcome.output.contains("circular definition")) << path.toStdString();
        EXPECT_TRUE(shown.contains(path)) << path.toStdString() << " is not shown in the guide";
    }
}
