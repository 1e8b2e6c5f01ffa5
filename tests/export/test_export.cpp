#include "app/mainui.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QGraphicsSimpleTextItem>
#include <QProcess>
#include <QSvgRenderer>
#include <QXmlStreamReader>

namespace {
const QString sourceDir = QStringLiteral(DRAFTEL_SOURCE_DIR);
enum Filter { Png, Png2x, Svg, Pdf }; // in the order the dialog offers them

QStringList exampleNames() {
    return QDir(sourceDir + "/examples").entryList({"*.des"}).replaceInStrings(".des", "");
}

// The pictures the README and the user guide show, made by scripts/export-pictures.sh.
QImage reference(const QString& example) {
    return QImage(sourceDir + "/docs/images/examples/" + example + ".png");
}

// The share of ink (pixels clearly darker than white in every colour) in either picture with no
// ink within a pixel of the same place in the other: where a renderer puts the edge of a line or
// a letter does not count; a line or a label missing, out of place or in the selection's colour
// does.
double unmatchedInk(const QImage& picture, const QImage& expected) {
    if (picture.size() != expected.size()) {
        return 1;
    }
    const QImage images[] = {picture.convertToFormat(QImage::Format_RGB32),
                             expected.convertToFormat(QImage::Format_RGB32)};
    const auto ink = [](const QImage& image, int x, int y) {
        const QRgb colour = image.rect().contains(x, y) ? image.pixel(x, y) : qRgb(255, 255, 255);
        return std::max({qRed(colour), qGreen(colour), qBlue(colour)}) < 192;
    };
    qint64 inked = 0;
    qint64 unmatched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            for (int one = 0; one < 2; ++one) {
                if (!ink(images[one], x, y)) {
                    continue;
                }
                bool near = false;
                for (int d = 0; d < 9; ++d) {
                    near = near || ink(images[1 - one], x + d % 3 - 1, y + d / 3 - 1);
                }
                ++inked;
                unmatched += !near;
            }
        }
    }
    return inked ? double(unmatched) / inked : 0;
}
constexpr double closeLook = 0.005;

// The visible labels of the canvas: port names and block captions.
QStringList labels(CanvasHandler* editor) {
    QStringList texts;
    for (QGraphicsItem* item : editor->canvas()->items()) {
        auto* label = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item);
        if (label && label->isVisible() && !label->text().isEmpty()) {
            texts << label->text();
        }
    }
    texts.sort();
    return texts;
}

QStringList svgTexts(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        }
    }
    texts.sort();
    return xml.hasError() ? QStringList{"not XML: " + xml.errorString()} : texts;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run {
    int status;
    QByteArray errors;
};

// Runs a program as from a terminal without any display.
Run runWithoutDisplay(const QString& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool ended =
        process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardError()};
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString path(const QString& name) const { return scratch.filePath(name); }

    static CanvasHandler* open(const QString& example) {
        auto* window = new MainUI;
        window->show();
        const int loaded = window->openDesign(sourceDir + "/examples/" + example + ".des");
        return loaded == 0 ? window->canvasHandler() : nullptr;
    }

    // File > "Export Image..." in the editor's window, with the name typed and the filter chosen.
    static void exportImage(CanvasHandler* editor, ScriptedInteraction& script,
                            const QString& typed, Filter filter) {
        script.fileAnswers = {typed};
        script.filterAnswers = {filter};
        static_cast<MainUI*>(editor->window())->menuAction("Export Image...")->trigger();
    }

private slots:
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = sourceDir + "/defs";
    }
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void examplesAsPictures_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written"); // a bare name takes the filter's extension
        for (const QString& name : exampleNames()) {
            const QByteArray latin = name.toLatin1();
            const char* example = latin.constData();
            QTest::addRow("%s png", example) << name << name << int(Png) << name + ".png";
            QTest::addRow("%s png 2x", example) << name << name << int(Png2x) << name + ".png";
            // A known extension beats the filter.
            QTest::addRow("%s svg", example) << name << name + ".SVG" << int(Png) << name + ".SVG";
            QTest::addRow("%s pdf", example) << name << name + ".x" << int(Pdf) << name + ".x.pdf";
        }
    }
    void examplesAsPictures() {
        QFETCH(QString, example);
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        const QImage expected = reference(example);
        QVERIFY(!expected.isNull());
        ScriptedInteraction script;
        CanvasHandler* editor = open(example);
        QVERIFY(editor);
        const QString outputFileName = editor->outputFileName();
        // Every block selected, so that the wires show bend handles, and a wire being drawn from
        // an output: none of it shows in the picture, and all of it is back on screen afterwards.
        editor->selectAll();
        QPoint start;
        for (BlockItem* block : editor->canvas()->blocks()) {
            for (const PortItem& port : block->ports()) {
                if (!port.isInput && port.number > 0) {
                    start = editor->mapFromScene(block->mapToScene(port.stub->line().p2()));
                }
            }
        }
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(editor->viewport(), start + QPoint(40, 100));
        QVERIFY(editor->wireInProgress());
        const QImage screen = editor->viewport()->grab().toImage();
        const QTemporaryDir out;
        const QString file = QDir(out.path()).filePath(written);
        exportImage(editor, script, QDir(out.path()).filePath(typed), Filter(filter));
        QCOMPARE(script.kinds(), QStringList{"save"});
        QCOMPARE(editor->viewport()->grab().toImage(), screen);

        QImage picture;
        const QString format = QFileInfo(written).suffix().toLower();
        if (format == "png") {
            const int scale = filter == Png2x ? 2 : 1;
            QVERIFY(picture.load(file, "PNG"));
            QCOMPARE(picture.size(), expected.size() * scale);
            picture =
                picture.scaled(expected.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        } else if (format == "svg") {
            QCOMPARE(svgTexts(file), labels(editor));
            picture = QImage(expected.size(), QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            QSvgRenderer(file).render(&painter);
        } else {
            const QString pages = QDir(out.path()).filePath("page");
            QCOMPARE(QProcess::execute("pdftoppm", {"-r", "72", "-png", file, pages}), 0);
            QCOMPARE(QDir(out.path()).entryList({"page*"}), QStringList{"page-1.png"});
            QVERIFY(picture.load(pages + "-1.png"));
            QProcess text;
            text.start("pdftotext", {"-raw", file, "-"}); // in drawing order: labels stay apart
            QVERIFY(text.waitForFinished(30000));
            const QRegularExpression space("\\s+");
            const QStringList words = QString::fromUtf8(text.readAllStandardOutput()).split(space);
            for (const QString& word : labels(editor).join(' ').split(space)) {
                QVERIFY2(words.contains(word), qPrintable(word));
            }
        }
        QVERIFY(unmatchedInk(picture, expected) < closeLook);
        // A picture is not an edit.
        QVERIFY(!editor->isModified());
        QCOMPARE(editor->outputFileName(), outputFileName);
    }

    void failedExportsChangeNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("overwrite"); // the answer to "Overwrite File?": 0 yes, 1 no
        QTest::newRow("folder is a file") << "existing.png/picture.png" << 0;
        QTest::newRow("folder missing") << "missing/picture.png" << 0;
        QTest::newRow("name of a folder") << "folder.png" << 0;
        QTest::newRow("overwrite refused") << "existing.png" << 1;
    }
    void failedExportsChangeNothing() {
        QFETCH(QString, typed);
        QFETCH(int, overwrite);
        QDir(scratch.path()).mkdir("folder.png");
        QFile existing(path("existing.png"));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("old") == 3);
        existing.close();
        ScriptedInteraction script;
        CanvasHandler* editor = open("formula");
        QVERIFY(editor);
        editor->setModified(true);
        editor->setOutputFileName("kept.c");
        script.questionAnswers = {overwrite};
        exportImage(editor, script, path(typed), Png);

        QCOMPARE(readAll(path("existing.png")), QByteArray("old"));
        QVERIFY(!QFileInfo(path(typed)).isFile() || overwrite == 1);
        QCOMPARE(script.kinds().contains("critical"), overwrite == 0);
        if (overwrite == 0) {
            QCOMPARE(script.asked.back().caption, QString("Export error"));
            const QString text = script.asked.back().text;
            const QString lead = "The picture could not be written to " + path(typed) + ":\n";
            QVERIFY2(text.startsWith(lead) && text.size() > lead.size(), qPrintable(text));
        }
        QVERIFY(editor->isModified());
        QCOMPARE(editor->outputFileName(), QString("kept.c"));
    }

    // What the command line refuses, it refuses with draftel-gen; with no display at all.
    void commandLine_data() {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("definitions");
        QTest::addColumn<int>("status");
        const QString example = sourceDir + "/examples/formula.des";
        QTest::newRow("example") << example << "defs" << 0;
        QTest::newRow("no such design") << path("missing.des") << "defs" << 2;
        QTest::newRow("not a design") << sourceDir + "/README.md"
                                      << "defs" << 2;
        QTest::newRow("definition file missing") << example << "empty" << 2;
        QTest::newRow("definition file broken") << example << "broken" << 2;
        QTest::newRow("block type missing") << example << "fewer" << 2;
        QTest::newRow("damaged") << path("damaged.des") << "defs" << 2;
    }
    void commandLine() {
        QFETCH(QString, design);
        QFETCH(QString, definitions);
        QFETCH(int, status);
        const QString defs = definitions == "defs" ? sourceDir + "/defs" : path(definitions);
        QDir().mkpath(defs);
        if (definitions == "broken" || definitions == "fewer") {
            const QByteArray text = definitions == "broken" ? "block Add ( out : a {\n"
                                                            : "block Add ( out : a, b ) { }\n";
            QFile file(defs + "/guide_expressions.def");
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        }
        if (design == path("damaged.des")) { // an example cut off inside its last record
            QFile example(sourceDir + "/examples/formula.des");
            QFile damaged(design);
            QVERIFY(example.open(QIODevice::ReadOnly) && damaged.open(QIODevice::WriteOnly));
            damaged.write(example.readAll().chopped(3));
        }
        const QTemporaryDir out;
        const QString picture = QDir(out.path()).filePath("picture.svg");

        const Run exported =
            runWithoutDisplay(DRAFTEL_EDITOR, {"--export-image", picture, "--defs", defs, design});
        const Run generated =
            runWithoutDisplay(DRAFTEL_GEN, {"--defs", defs, "--output", path("gen"), design});
        QCOMPARE(generated.status, status);
        QVERIFY2(exported.status == status, exported.errors.constData());
        QCOMPARE(QFile::exists(picture), status == 0);
        QCOMPARE(exported.errors.contains("draftel: "), status != 0);
        if (status != 0) { // the same reader's verdict, in the same words
            const QByteArray verdict =
                generated.errors.mid(generated.errors.indexOf(": error: ") + 9);
            QVERIFY2(exported.errors.contains(verdict.trimmed()), exported.errors.constData());
        }
    }

    // The documentation's pictures come from the script, so they cannot drift from the program.
    void documentationPictures() {
        const QTemporaryDir out;
        const Run run = runWithoutDisplay(sourceDir + "/scripts/export-pictures.sh",
                                          {DRAFTEL_EDITOR, out.path()});
        QVERIFY2(run.status == 0, run.errors.constData());
        for (const QString& example : exampleNames()) {
            const QImage picture(QDir(out.path()).filePath(example + ".png"));
            QVERIFY2(unmatchedInk(picture, reference(example)) < closeLook,
                     qPrintable(example + ": run scripts/export-pictures.sh to update the docs"));
        }
    }
};

DRAFTEL_TEST_MAIN(TestExport)
#include "test_export.moc"
