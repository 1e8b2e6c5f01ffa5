#include "app/mainui.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QProcess>
#include <QSvgRenderer>
#include <QXmlStreamReader>

namespace {
const QString sourceDir = QStringLiteral(DRAFTEL_SOURCE_DIR);
enum Filter { Png, Png2x, Svg, Pdf }; // in the order the dialog offers them

QStringList exampleNames() {
    QStringList names;
    for (const QFileInfo& design : QDir(sourceDir + "/examples").entryInfoList({"*.des"})) {
        names << design.completeBaseName();
    }
    return names;
}

QString designPath(const QString& example) {
    return sourceDir + "/examples/" + example + ".des";
}

// The pictures the README and the user guide show, made by scripts/export-pictures.sh.
QImage reference(const QString& example) {
    return QImage(sourceDir + "/docs/images/examples/" + example + ".png");
}

// The largest difference of a colour channel between the two pictures, for pictures of the same
// renderer; 255 when their sizes differ.
int largestDifference(const QImage& picture, const QImage& expected) {
    if (picture.size() != expected.size()) {
        return 255;
    }
    const QImage a = picture.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* one = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* other = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max({largest, qAbs(qRed(one[x]) - qRed(other[x])),
                                qAbs(qGreen(one[x]) - qGreen(other[x])),
                                qAbs(qBlue(one[x]) - qBlue(other[x]))});
        }
    }
    return largest;
}
// Where text edges round differently.
constexpr int sameLook = 8;

// The share of ink (pixels clearly darker than white) in either picture that has no ink within a
// pixel of the same place in the other: where a renderer puts the edge of a line or a letter
// does not count, a line or a label missing or out of place does.
double unmatchedInk(const QImage& picture, const QImage& expected) {
    if (picture.size() != expected.size()) {
        return 1;
    }
    const QImage a = picture.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = expected.convertToFormat(QImage::Format_Grayscale8);
    const auto ink = [](const QImage& image, int x, int y) {
        return image.rect().contains(x, y) && image.constScanLine(y)[x] < 192;
    };
    const auto inkNear = [&](const QImage& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (ink(image, x + dx, y + dy)) {
                    return true;
                }
            }
        }
        return false;
    };
    qint64 inked = 0;
    qint64 unmatched = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            for (const auto& [one, other] : {std::pair(&a, &b), std::pair(&b, &a)}) {
                if (ink(*one, x, y)) {
                    ++inked;
                    unmatched += !inkNear(*other, x, y);
                }
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

// Everything a person could see change on the canvas: each visible item's kind, place and pen.
QStringList canvasLook(CanvasHandler* editor) {
    QStringList look;
    for (QGraphicsItem* item : editor->canvas()->items()) {
        if (!item->isVisible()) {
            continue;
        }
        const auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(item);
        QDebug(&look.emplace_back())
            << item->type() << item->sceneBoundingRect() << (line ? line->pen().color() : QColor());
    }
    look.sort(); // which of a wire's handle items sits on which bend does not show
    return look;
}

QStringList svgTexts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {"(unreadable)"};
    }
    QStringList texts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        }
    }
    if (xml.hasError()) {
        return {"(not XML: " + xml.errorString() + ")"};
    }
    texts.sort();
    return texts;
}

struct Run {
    int status = -1;
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
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        return {-1, process.readAllStandardError()};
    }
    return {process.exitCode(), process.readAllStandardError()};
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString path(const QString& name) const { return scratch.filePath(name); }

    static MainUI* open(const QString& example) {
        auto* window = new MainUI;
        window->show();
        return window->openDesign(designPath(example)) == 0 ? window : nullptr;
    }

    // Runs File > "Export Image..." with the name typed and the filter chosen.
    static void exportImage(MainUI* window, ScriptedInteraction& script, const QString& typed,
                            Filter filter) {
        script.fileAnswers = {typed};
        script.filterAnswers = {filter};
        window->menuAction("Export Image...")->trigger();
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
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("scale");
        for (const QString& example : exampleNames()) {
            const auto row = [&](const char* kind) -> QTestData& {
                return QTest::addRow("%s %s", qPrintable(example), kind) << example;
            };
            // The filter lends its extension to a bare name; a known extension beats the filter.
            row("png") << example << int(Png) << example + ".png"
                       << "png" << 1;
            row("png 2x") << example + ".png" << int(Png2x) << example + ".png"
                          << "png" << 2;
            row("svg") << example + ".SVG" << int(Png) << example + ".SVG"
                       << "svg" << 1;
            row("pdf") << example + ".txt" << int(Pdf) << example + ".txt.pdf"
                       << "pdf" << 1;
        }
    }
    void examplesAsPictures() {
        QFETCH(QString, example);
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QFETCH(QString, format);
        QFETCH(int, scale);
        const QImage expected = reference(example);
        QVERIFY(!expected.isNull());
        ScriptedInteraction script;
        MainUI* window = open(example);
        QVERIFY(window);
        CanvasHandler* editor = window->canvasHandler();
        const QString outputFileName = editor->outputFileName();
        const QTemporaryDir out;
        exportImage(window, script, QDir(out.path()).filePath(typed), Filter(filter));
        QCOMPARE(script.kinds(), QStringList{"save"});
        QCOMPARE(script.unexpected, 0);
        const QString file = QDir(out.path()).filePath(written);

        if (format == "png") {
            const QImage picture(file, "PNG");
            QCOMPARE(picture.size(), expected.size() * scale);
            if (scale == 1) {
                QVERIFY(largestDifference(picture, expected) <= sameLook);
            }
        } else if (format == "svg") {
            QCOMPARE(svgTexts(file), labels(editor));
            QSvgRenderer svg(file);
            QVERIFY(svg.isValid());
            QImage picture(expected.size(), QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            svg.render(&painter);
            painter.end();
            QVERIFY(unmatchedInk(picture, expected) < closeLook);
        } else {
            const QString prefix = QDir(out.path()).filePath("page");
            QCOMPARE(QProcess::execute("pdftoppm", {"-r", "72", "-png", file, prefix}), 0);
            QCOMPARE(QDir(out.path()).entryList({"page*"}), QStringList{"page-1.png"});
            QVERIFY(unmatchedInk(QImage(prefix + "-1.png"), expected) < closeLook);
            QProcess text;
            // In drawing order, so that overlapping labels stay apart.
            text.start("pdftotext", {"-raw", file, "-"});
            QVERIFY(text.waitForFinished(30000));
            const QRegularExpression space("\\s+");
            const QStringList words = QString::fromUtf8(text.readAllStandardOutput()).split(space);
            for (const QString& word : labels(editor).join(' ').split(space)) {
                QVERIFY2(words.contains(word), qPrintable(word));
            }
        }
        // A picture is not an edit.
        QVERIFY(!editor->isModified());
        QCOMPARE(editor->outputFileName(), outputFileName);
    }

    void editingMarksStayOutOfPictures() {
        ScriptedInteraction script;
        MainUI* window = open("filter_demo");
        QVERIFY(window);
        CanvasHandler* editor = window->canvasHandler();
        // Every block selected, so their wires show bend handles, and a wire being drawn from an
        // output towards empty canvas.
        editor->selectAll();
        BlockItem* block = editor->canvas()->blocks().front();
        const PortItem& port = block->ports().back();
        QVERIFY(!port.isInput);
        const QPoint start = editor->mapFromScene(block->mapToScene(port.stub->line().p2()));
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(editor->viewport(), start + QPoint(40, 300));
        QVERIFY(editor->wireInProgress());
        const QStringList look = canvasLook(editor);
        const QList<BlockItem*> selection = editor->selection();

        exportImage(window, script, path("marks.png"), Png);
        QVERIFY(largestDifference(QImage(path("marks.png")), reference("filter_demo")) <= sameLook);
        QCOMPARE(canvasLook(editor), look);
        QCOMPARE(editor->selection(), selection);
        QVERIFY(!editor->isModified());
    }

    void failedExportsChangeNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("overwrite"); // the answer to "Overwrite File?": 0 yes, 1 no
        QTest::addColumn<bool>("reported");
        QTest::newRow("folder is a file") << "plain.txt/picture.png" << 0 << true;
        QTest::newRow("folder missing") << "missing/picture.png" << 0 << true;
        QTest::newRow("name of a folder") << "folder.png" << 0 << true;
        QTest::newRow("overwrite refused") << "existing.png" << 1 << false;
    }
    void failedExportsChangeNothing() {
        QFETCH(QString, typed);
        QFETCH(int, overwrite);
        QFETCH(bool, reported);
        const QTemporaryDir dir;
        const auto at = [&](const QString& name) { return QDir(dir.path()).filePath(name); };
        QVERIFY(QDir(dir.path()).mkdir("folder.png"));
        for (const char* name : {"plain.txt", "existing.png"}) {
            QFile file(at(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
        }
        const auto contents = [&] {
            QStringList result;
            QDirIterator walk(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot,
                              QDirIterator::Subdirectories);
            while (walk.hasNext()) {
                QFile file(walk.next());
                result << walk.filePath() + (file.open(QIODevice::ReadOnly) ? file.readAll() : "");
            }
            result.sort();
            return result;
        };
        const QStringList before = contents();

        ScriptedInteraction script;
        MainUI* window = open("formula");
        QVERIFY(window);
        CanvasHandler* editor = window->canvasHandler();
        editor->setModified(true);
        editor->setOutputFileName("kept.c");
        script.questionAnswers = {overwrite};
        exportImage(window, script, at(typed), Png);

        QCOMPARE(contents(), before);
        QCOMPARE(script.kinds().contains("critical"), reported);
        if (reported) {
            const auto& message = script.asked.back();
            QCOMPARE(message.caption, QString("Export error"));
            QVERIFY2(message.text.startsWith("The picture could not be written to " + at(typed) +
                                             ":\n") &&
                         !message.text.endsWith(":\n"),
                     qPrintable(message.text));
        }
        QVERIFY(editor->isModified());
        QCOMPARE(editor->outputFileName(), QString("kept.c"));
    }

    // The script that makes the documentation's pictures, run as the command line runs it.
    void documentationPicturesFromTheCommandLine() {
        const QTemporaryDir out;
        const Run run = runWithoutDisplay(sourceDir + "/scripts/export-pictures.sh",
                                          {DRAFTEL_EDITOR, out.path()});
        QVERIFY2(run.status == 0, run.errors.constData());
        for (const QString& example : exampleNames()) {
            const QImage picture(QDir(out.path()).filePath(example + ".png"));
            QVERIFY2(largestDifference(picture, reference(example)) <= sameLook,
                     qPrintable(example + ": run scripts/export-pictures.sh to update the docs"));
        }
    }

    // The editor's export refuses exactly the designs that draftel-gen refuses.
    void commandLineVerdicts_data() {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("definitions");
        QTest::addColumn<int>("status");
        const QString defs = sourceDir + "/defs";
        QTest::newRow("example") << designPath("door_controller") << defs << 0;
        QTest::newRow("no such design") << path("missing.des") << defs << 2;
        QTest::newRow("not a design") << sourceDir + "/README.md" << defs << 2;
        QTest::newRow("definition file missing") << designPath("formula") << path("empty") << 2;
        QTest::newRow("definition file broken") << designPath("formula") << path("broken") << 2;
        QTest::newRow("block type missing") << designPath("formula") << path("fewer") << 2;
    }
    void commandLineVerdicts() {
        QFETCH(QString, design);
        QFETCH(QString, definitions);
        QFETCH(int, status);
        for (const char* folder : {"empty", "broken", "fewer"}) {
            QDir(scratch.path()).mkpath(folder);
        }
        const auto writeDefinitions = [&](const QString& folder, const QByteArray& text) {
            QFile file(path(folder + "/guide_expressions.def"));
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        QVERIFY(writeDefinitions("broken", "block Add ( out : a, b {\n"));
        QVERIFY(writeDefinitions("fewer", "block Add ( out : a, b ) { }\n"));
        const QTemporaryDir out;
        const QString picture = QDir(out.path()).filePath("picture.svg");

        const Run exported = runWithoutDisplay(
            DRAFTEL_EDITOR, {"--export-image", picture, "--defs", definitions, design});
        const Run generated = runWithoutDisplay(
            DRAFTEL_GEN, {"--defs", definitions, "--output", path("generated"), design});
        QCOMPARE(generated.status, status);
        QVERIFY2(exported.status == status, exported.errors.constData());
        QCOMPARE(QFile::exists(picture), status == 0);
        QCOMPARE(exported.errors.contains("draftel: "), status != 0);
    }
};

DRAFTEL_TEST_MAIN(TestExport)
#include "test_export.moc"
