// `cmake --install` into a temporary DESTDIR, and what a desktop makes of the result: the menu
// entry, the icon, the file types of designs and definition files, the bundled files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kSource = QStringLiteral(DRAFTEL_SOURCE_DIR);

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome run(const QString& program, const QStringList& args,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(environment);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << program.toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAll())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// One installation for the whole program, as a package build would make it: prefix /usr,
// staged under a temporary DESTDIR.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destdir_ = new QTemporaryDir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", destdir_->path());
        const Outcome outcome =
            run(QStringLiteral(CMAKE_COMMAND_PATH),
                {"--install", QStringLiteral(DRAFTEL_BUILD_DIR), "--prefix", "/usr"}, environment);
        installed_ = outcome.exitCode == 0;
        installOutput_ = outcome.output;
    }
    static void TearDownTestSuite() {
        delete destdir_;
        destdir_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed_) << installOutput_.toStdString(); }
    static QString root() { return destdir_->path() + "/usr"; }
    static QString path(const QString& relative) { return root() + "/" + relative; }

    static QTemporaryDir* destdir_;
    static bool installed_;
    static QString installOutput_;
};

QTemporaryDir* Installed::destdir_ = nullptr;
bool Installed::installed_ = false;
QString Installed::installOutput_;

std::string namesIn(const QString& folder, const QStringList& filter) {
    return QDir(folder).entryList(filter, QDir::Files, QDir::Name).join(' ').toStdString();
}

} // namespace

TEST_F(Installed, ProgramsAndBundledFilesWork) {
    for (const char* program : {"bin/draftel", "bin/draftel-gen"}) {
        EXPECT_TRUE(QFileInfo(path(program)).isExecutable()) << program;
    }
    // Every definition file and example design of the source tree is installed.
    EXPECT_EQ(namesIn(path("share/draftel/defs"), {"*.def"}),
              namesIn(kSource + "/defs", {"*.def"}));
    EXPECT_EQ(namesIn(path("share/draftel/examples"), {"*.des"}),
              namesIn(kSource + "/examples", {"*.des"}));
    EXPECT_EQ(namesIn(path("share/draftel/examples/errors"), {"*"}),
              namesIn(kSource + "/examples/errors", {"*"}));

    // The installed generator, on the installed files, writes what the source tree expects.
    QTemporaryDir out;
    const Outcome outcome =
        run(path("bin/draftel-gen"),
            {"--defs", path("share/draftel/defs"), "--output", out.filePath("formula.c"),
             path("share/draftel/examples/formula.des")});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.output.toStdString();
    EXPECT_EQ(contents(out.filePath("formula.c")),
              contents(kSource + "/examples/expected/formula.c"));
}

TEST_F(Installed, DesktopEntryStartsTheEditorOnDesigns) {
    const QString entry = path("share/applications/draftel.desktop");
    const QStringList lines = QString::fromUtf8(contents(entry)).split('\n');
    QString exec, icon, mimeTypes;
    for (const QString& line : lines) {
        if (line.startsWith("Exec="))
            exec = line.mid(5);
        if (line.startsWith("Icon="))
            icon = line.mid(5);
        if (line.startsWith("MimeType="))
            mimeTypes = line.mid(9);
    }
    // The program it starts is installed, and takes the files that a file manager passes.
    const QStringList command = exec.split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(command.size(), 2) << exec.toStdString();
    EXPECT_TRUE(QFileInfo(path("bin/" + command[0])).isExecutable()) << exec.toStdString();
    EXPECT_EQ(command[1].toStdString(), "%F");
    EXPECT_TRUE(mimeTypes.split(';').contains("application/x-draftel-design"))
        << mimeTypes.toStdString();

    // The icon it names, scalable and in each fixed size, drawn at that size.
    ASSERT_EQ(icon.toStdString(), "draftel");
    EXPECT_TRUE(QFileInfo::exists(path("share/icons/hicolor/scalable/apps/draftel.svg")));
    const QStringList sizes = QDir(path("share/icons/hicolor")).entryList({"*x*"}, QDir::Dirs);
    EXPECT_GE(sizes.size(), 5);
    for (const QString& size : sizes) {
        const int side = size.section('x', 0, 0).toInt();
        QImageReader reader(path("share/icons/hicolor/" + size + "/apps/draftel.png"));
        EXPECT_EQ(reader.size(), QSize(side, side)) << size.toStdString();
    }

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    }
    const Outcome outcome = run(validator, {entry});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output.toStdString();
    EXPECT_EQ(outcome.output.toStdString(), "");
}

TEST_F(Installed, FileTypesRecogniseDesignsAndDefinitions) {
    const QString xml = path("share/mime/packages/draftel.xml");
    ASSERT_TRUE(QFileInfo::exists(xml));
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (!xmllint.isEmpty()) {
        const Outcome outcome = run(xmllint, {"--noout", xml});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.output.toStdString();
    }
    // Only the installed types and the system's own: nothing from the user's home.
    QTemporaryDir home;
    const QString dataDirs = path("share") + ":/usr/share";
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dataDirs.toLocal8Bit());
    // Build the database cache as a desktop's tools do, so that what is checked below is what
    // a file manager reads; without the tool, Qt reads the XML itself. A warning fails.
    const QString updater = QStandardPaths::findExecutable("update-mime-database");
    if (!updater.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", home.path());
        environment.insert("XDG_DATA_DIRS", dataDirs);
        const Outcome outcome = run(updater, {path("share/mime")}, environment);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.output.toStdString();
        EXPECT_EQ(outcome.output.toStdString(), "");
        EXPECT_TRUE(QFileInfo::exists(path("share/mime/mime.cache")));
    }

    const QMimeDatabase db;

    const QString design = kSource + "/examples/formula.des";
    EXPECT_EQ(db.mimeTypeForFile(design).name().toStdString(), "application/x-draftel-design");
    // By its first bytes alone, whatever it is called.
    EXPECT_EQ(db.mimeTypeForData(contents(design)).name().toStdString(),
              "application/x-draftel-design");
    QByteArray almost = contents(design);
    almost[9] = 'x'; // "Desigx": not the design header
    EXPECT_NE(db.mimeTypeForData(almost).name().toStdString(), "application/x-draftel-design");

    const QMimeType definition = db.mimeTypeForFile(kSource + "/defs/signal_chain.def");
    EXPECT_EQ(definition.name().toStdString(), "text/x-draftel-definition");
    EXPECT_TRUE(definition.inherits("text/plain"));
}
