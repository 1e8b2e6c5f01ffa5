// draftel-gen run as a process on files in a temporary directory.
#include "clifixture.h"

#include <limits>

TEST_F(Cli, HelpAndVersion) {
    Outcome r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Usage: draftel-gen"));
    EXPECT_TRUE(r.out.contains("--check FILE"));
    EXPECT_TRUE(r.out.contains("file-name part")); // a design does not choose the folder
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
        {"--check=a.def"},
        {"--check", "--defs", "defs", "a.def"},
        {"--check", "--list-outputs", "a.def"},
        {"--list-outputs", "--depfile", "d", "a.des"},
        {"--output", "x", "one.des", "two.des"},
        {"--list-inputs"},
        {"--defs"},
    };
    for (const QStringList& args : cases) {
        Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("draftel-gen: ")) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(Cli, ExamplesGenerateTheirCheckedInOutput) {
    const QDir examples(QStringLiteral(DRAFTEL_SOURCE_DIR "/examples"));
    const QStringList designs = examples.entryList({"*.des"}, QDir::Files);
    ASSERT_GE(designs.size(), 3);
    for (const QString& design : designs) {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral(DRAFTEL_GEN),
                {"--defs", QStringLiteral(DRAFTEL_SOURCE_DIR "/defs"), examples.filePath(design)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    }
    const QDir expected(examples.filePath("expected"));
    for (const QString& name : expected.entryList(QDir::Files)) {
        if (name.endsWith(".out"))
            continue;
        EXPECT_EQ(contents(m_dir.filePath(name)), contents(expected.filePath(name)))
            << name.toStdString();
    }
}

TEST_F(Cli, GeneratedCProgramCompilesAndRuns) {
    const QString source = QStringLiteral(DRAFTEL_SOURCE_DIR "/examples/expected/filter_demo.c");
    const QString program = m_dir.filePath("filter_demo");
    QProcess cc;
    cc.start("cc", {"-std=c99", "-Wall", "-Werror", "-o", program, source, "-lm"});
    ASSERT_TRUE(cc.waitForFinished(60000));
    ASSERT_EQ(cc.exitCode(), 0) << cc.readAllStandardError().constData();
    QProcess run;
    run.start(program, {});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(run.readAllStandardOutput(),
              contents(QStringLiteral(DRAFTEL_SOURCE_DIR "/examples/expected/filter_demo.out")));
}

TEST_F(Cli, GenerationOptionsAndFailures) {
    QDir(m_dir.path()).mkpath("defs");
    write("defs/pair.def",
          "block A ( o : i ) { edit v \"default\" o \"$(i)\" body \"$(v) $(i)\" }\n"
          "head \"first file\"\n"
          "file \".one\" head ;\n"
          "file \".two\" body ;\n"
          "file \".three\" head ;\n");
    const QString defs = m_dir.filePath("defs");
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("chain.des"), twoBlocks("pair.def", "out", false)));

    // --output names the base; the stored variable replaces the definition's value.
    Outcome r =
        run({"--defs", defs, "--output", m_dir.filePath("gen"), m_dir.filePath("chain.des")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    // An unwired input resolves to the default text, and an undefined default to nothing.
    EXPECT_EQ(contents(m_dir.filePath("gen.one")), "first file\n");
    EXPECT_EQ(contents(m_dir.filePath("gen.two")), "default \nfrom the design \n");
    EXPECT_TRUE(QFile::exists(m_dir.filePath("gen.three")));

    // Positions that are no number, or far off, are placed as the editor places them.
    DesignRecords odd = twoBlocks("pair.def", "out", false);
    odd.blocks[0].x = std::numeric_limits<float>::quiet_NaN();
    odd.blocks[1].y = 1e30f;
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("odd.des"), odd));
    r = run({"--defs", defs, "--output", m_dir.filePath("odd"), m_dir.filePath("odd.des")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(contents(m_dir.filePath("odd.two")), "default \nfrom the design \n");

    // A circle through the wires: the first file stays, the second is deleted (even the one an
    // earlier run left), the third is never written, and the exit status says so.
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("loop.des"), twoBlocks("pair.def", "out", true)));
    write("loop.two", "from an earlier run\n");
    r = run({"--defs", defs, "--output", m_dir.filePath("loop"), m_dir.filePath("loop.des")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("circular definition")) << r.err.constData();
    EXPECT_TRUE(QFile::exists(m_dir.filePath("loop.one")));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("loop.two")));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("loop.three")));

    // Nothing can be written where the output goes.
    r = run(
        {"--defs", defs, "--output", m_dir.filePath("no/such/dir/x"), m_dir.filePath("chain.des")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("x.one: error: cannot be written: ")) << r.err.constData();

    // Designs that cannot be used: missing, naming a missing definition file, no settings.
    r = run({"--defs", defs, m_dir.filePath("absent.des")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, QFile::encodeName(m_dir.filePath("absent.des")) +
                         ": error: The design file absent.des cannot be read: No such file or "
                         "directory.\n");
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("nodefs.des"), twoBlocks("gone.def", "out", false)));
    r = run({"--defs", defs, m_dir.filePath("nodefs.des")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("File open error")) << r.err.constData();
    DesignRecords bare = twoBlocks("pair.def", "out", false);
    bare.settings.reset();
    ASSERT_TRUE(writeDesignFile(m_dir.filePath("bare.des"), bare));
    r = run({"--defs", defs, m_dir.filePath("bare.des")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("out.one")));
}

// Without --output, the output name stored in a design (someone else's choice) is used only by
// its file-name part, in the working directory; a file elsewhere is never touched.
TEST_F(Cli, StoredOutputNamesStayInTheWorkingDirectory) {
    QDir(m_dir.path()).mkpath("defs");
    QDir(m_dir.path()).mkpath("elsewhere");
    write("defs/one.def", "block A ( o : i ) { body \"$(v)\" }\nfile \".txt\" body ;\n");
    const QByteArray precious = "not to be overwritten\n";
    write("elsewhere/victim.txt", precious);
    const struct {
        std::string stored;
        const char* written; // in the working directory, or nullptr when refused
    } cases[] = {
        {m_dir.filePath("elsewhere/victim").toStdString(), "victim.txt"},
        {"../elsewhere/victim", "victim.txt"},
        {"C:\\Users\\someone\\win", "win.txt"},
        {"plain", "plain.txt"},
        {"", nullptr},
        {"elsewhere/", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        QTemporaryDir work;
        ASSERT_TRUE(writeDesignFile(m_dir.filePath("aimed.des"),
                                    twoBlocks("one.def", c.stored.c_str(), false)));
        const Outcome r =
            run({"--defs", m_dir.filePath("defs"), m_dir.filePath("aimed.des")}, work.path());
        const QStringList written = QDir(work.path()).entryList(QDir::Files);
        if (c.written) {
            EXPECT_EQ(r.exitCode, 0) << r.err.constData();
            EXPECT_EQ(written, QStringList{c.written});
        } else {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(r.err.contains("--output")) << r.err.constData();
            EXPECT_TRUE(written.isEmpty());
        }
        EXPECT_EQ(contents(m_dir.filePath("elsewhere/victim.txt")), precious);
    }
}

// Output that would grow past the bound (a megabyte doubled twelve times): the run stops with
// the bound's own message and exit status 2, not 1, and the file in progress is deleted.
TEST_F(Cli, RunawayDefinitionStopsAtTheOutputBound) {
    QDir(m_dir.path()).mkpath("defs");
    QByteArray text = "block A ( o : i ) { }\nhead \"first file\"\n"
                      "file \".one\" head ;\nfile \".two\" x0 ;\nfile \".three\" head ;\n";
    for (int i = 0; i < 12; ++i)
        text += QStringLiteral("x%1 \"$(x%2)$(x%2)\"\n").arg(i).arg(i + 1).toLatin1();
    text += "x12 \"" + QByteArray(1 << 20, 'x') + "\"\n";
    write("defs/runaway.def", text);
    ASSERT_TRUE(
        writeDesignFile(m_dir.filePath("runaway.des"), twoBlocks("runaway.def", "out", false)));
    const Outcome r = run({"--defs", m_dir.filePath("defs"), "--output", m_dir.filePath("big"),
                           m_dir.filePath("runaway.des")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QFile::encodeName(m_dir.filePath("runaway.des")) +
                                 ": error: Generation stopped: the output would exceed 256 MB.\n"))
        << r.err.constData();
    EXPECT_FALSE(r.err.contains("circular")) << r.err.constData();
    EXPECT_TRUE(QFile::exists(m_dir.filePath("big.one")));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("big.two")));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("big.three")));
}
