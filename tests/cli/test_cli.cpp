// draftel-gen run as a process on files in a temporary directory.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(DRAFTEL_GEN), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

class Cli : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Cli, CheckGoodFileIsSilent) {
    Outcome r = run({"--check", write("good.def", "block A ( x : y ) { body \"x = y;\" }\n"
                                                  "file \"out.c\" body ;\n")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Cli, CheckReportsTheFirstErrorWithItsLine) {
    Outcome r = run({"--check", write("bad.def", "# comment\n\n\n\n\na \"1\"\n42\nblock (\n")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "Syntax error. Line: 7\n");

    r = run({"--check", m_dir.filePath("missing.def")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "File open error\n");

    r = run({"--check", write("open.def", "g \"never closed")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "File error while reading\n");
}

TEST_F(Cli, HelpAndVersion) {
    Outcome r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Usage: draftel-gen"));
    EXPECT_TRUE(r.out.contains("--check FILE"));
    EXPECT_TRUE(r.err.isEmpty());

    r = run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("draftel-gen ")) << r.out.constData();
}

TEST_F(Cli, UsageErrors) {
    const QStringList cases[] = {
        {},
        {"--check"},
        {"--bogus"},
        {"--check", "a.def", "--check", "b.def"},
        {"--check", "a.def", "design.des"},
        {"--defs"},
        {"one.des", "two.des"},
    };
    for (const QStringList& args : cases) {
        Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("draftel-gen: ")) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(Cli, GeneratingIsNotAvailableYet) {
    const QString design = write("d.des", "");
    Outcome r = run({"--defs", m_dir.path(), "--output", m_dir.filePath("out"), design});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("not available yet"));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("out")));
}
