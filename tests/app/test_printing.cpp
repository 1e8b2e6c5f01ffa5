#include "app/mainui.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/pens.h"
#include "canvas/wireitem.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include "draftel_version.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QXmlStreamReader>

namespace {
struct Word {
    QString text;
    QRectF box; // in PDF points
};
using Page = QList<Word>;

QStringList texts(const Page& page) {
    QStringList result;
    for (const Word& word : page) {
        result << word.text;
    }
    return result;
}

const Word* findWord(const Page& page, const QString& text) {
    for (const Word& word : page) {
        if (word.text == text) {
            return &word;
        }
    }
    return nullptr;
}

// The words of each page of a PDF file with their boxes, as poppler reads them.
QList<Page> readPages(const QString& pdf) {
    QProcess process;
    process.start("pdftotext", {"-bbox", pdf, "-"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning("pdftotext failed (poppler-utils installed?): %s",
                 process.readAllStandardError().constData());
        return {};
    }
    QList<Page> pages;
    QXmlStreamReader xml(process.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("page")) {
            pages.append(Page());
        } else if (xml.name() == QLatin1String("word")) {
            const auto at = [&](const char* name) {
                return xml.attributes().value(QLatin1String(name)).toDouble();
            };
            const QPointF topLeft(at("xMin"), at("yMin"));
            const QPointF bottomRight(at("xMax"), at("yMax"));
            pages.last().append({xml.readElementText(), QRectF(topLeft, bottomRight)});
        }
    }
    return pages;
}

// Every page of a PDF file as a picture, at a low resolution.
QList<QImage> rasterise(const QString& pdf, const QString& prefix) {
    QProcess::execute("pdftoppm", {"-r", "40", "-png", pdf, prefix});
    QList<QImage> images;
    for (int page = 1;; ++page) {
        const QImage image(QString("%1-%2.png").arg(prefix).arg(page));
        if (image.isNull()) {
            return images;
        }
        images.append(image);
    }
}

QPrinter* printerOf(QDialog& dialog) {
    return static_cast<QPrintDialog&>(dialog).printer();
}

// The area of the canvas that one page shows, in printer units.
QSize pageArea(const QPrinter& printer) {
    return {printer.width() - 100, printer.height() - 100};
}

// Accepts the print dialog with the printer writing an A4 PDF file; prepare runs last, with
// the printer set up.
std::function<int(QDialog&)> printToPdf(const QString& file,
                                        std::function<void(QPrinter&)> prepare = {}) {
    return [file, prepare](QDialog& dialog) {
        QPrinter* printer = printerOf(dialog);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        printer->setPageSize(QPageSize(QPageSize::A4));
        if (prepare) {
            prepare(*printer);
        }
        return int(QDialog::Accepted);
    };
}

const char* const definitionText = "block Box ( out : in ) { }\n";
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString path(const QString& name) const { return scratch.filePath(name); }

    MainUI* window() {
        auto* made = new MainUI;
        made->show();
        QCoreApplication::processEvents();
        return made->loadDefinitions(path("defs/boxes.def")) == 0 ? made : nullptr;
    }

    static BlockItem* place(MainUI* window, const QString& label, QPoint at) {
        CanvasHandler* editor = window->canvasHandler();
        auto* block = new BlockItem(editor->canvas(), editor->selectionList(),
                                    editor->findBlockType("Box"), editor->nextZ());
        block->moveBy(at.x(), at.y());
        block->setLabel(label);
        return block;
    }

    static QPoint stubEnd(BlockItem* block, bool isInput) {
        for (const PortItem& port : block->ports()) {
            if (port.isInput == isInput && port.number == 1) {
                return (block->pos() + port.stub->line().p2()).toPoint();
            }
        }
        return {};
    }

    static void wire(MainUI* window, BlockItem* from, BlockItem* to) {
        const QPoint start = stubEnd(from, false);
        auto* wire = new WireItem(start.x(), start.y(), true, window->canvasHandler()->canvas());
        wire->setFirstEnd(from, 1, false);
        const QPoint end = stubEnd(to, true);
        wire->moveLooseEnd(end.x(), end.y());
        wire->setSecondEnd(to, 1);
    }

    static bool drawnWithPen(BlockItem* block, const QPen& pen) {
        for (const PortItem& port : block->ports()) {
            if (port.stub->pen() != pen) {
                return false;
            }
        }
        return !block->ports().empty();
    }

private slots:
    void initTestCase() {
        QDir(scratch.path()).mkpath("defs");
        QFile file(path("defs/boxes.def"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(definitionText);
    }
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = path("defs");
    }
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void onePageShowsItsNumberAndTheFileNameAtTheRight() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        CanvasHandler* editor = design->canvasHandler();
        QSize area;
        // A canvas exactly one page area large.
        const auto fitCanvas = [&](QPrinter& printer) {
            area = pageArea(printer);
            editor->resizeCanvas(area.width(), area.height());
        };

        // Without a file the design has no name to print.
        script.dialogAnswers = {printToPdf(path("unnamed.pdf"), fitCanvas)};
        design->print();
        QCOMPARE(script.unexpected, 0);
        QList<Page> pages = readPages(path("unnamed.pdf"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(texts(pages[0]), (QStringList{"Page:", "1"}));

        script.fileAnswers = {path("flow-design.des")};
        QVERIFY(design->saveAsView());
        script.dialogAnswers = {printToPdf(path("named.pdf"), fitCanvas)};
        design->print();
        pages = readPages(path("named.pdf"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(texts(pages[0]), (QStringList{"Page:", "1", "flow-design.des"}));

        // The label starts 4 units inside the area, the name ends 4 units inside it; a unit is
        // a hundredth of an inch, 0.72 points.
        const Word* label = findWord(pages[0], "Page:");
        const Word* name = findWord(pages[0], "flow-design.des");
        QVERIFY(name->box.left() > label->box.right());
        QVERIFY2(qAbs(name->box.right() - label->box.left() - (area.width() - 8) * 0.72) < 5,
                 qPrintable(QString("name ends at %1, label starts at %2")
                                .arg(name->box.right())
                                .arg(label->box.left())));
        QCOMPARE(name->box.bottom(), label->box.bottom());
    }

    void pagesRunDownEachColumnThenToTheRight() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        CanvasHandler* editor = design->canvasHandler();
        QSize area;
        // Four page areas, two high and two wide, each with a block at the same spot.
        script.dialogAnswers = {printToPdf(path("grid.pdf"), [&](QPrinter& printer) {
            area = pageArea(printer);
            editor->resizeCanvas(2 * area.width(), 2 * area.height());
            const int w = area.width();
            const int h = area.height();
            place(design, "Alpha", {100, 200});
            place(design, "Bravo", {100, h + 200});
            place(design, "Charlie", {w + 100, 200});
            place(design, "Delta", {w + 100, h + 200});
        })};
        design->print();

        const QList<Page> pages = readPages(path("grid.pdf"));
        QCOMPARE(pages.size(), 4);
        const QStringList order{"Alpha", "Bravo", "Charlie", "Delta"};
        for (int i = 0; i < 4; ++i) {
            const QStringList words = texts(pages[i]);
            QVERIFY2(words.contains("Page:") && words.contains(QString::number(i + 1)),
                     qPrintable(words.join(' ')));
            for (int j = 0; j < 4; ++j) {
                QCOMPARE(words.contains(order[j]), i == j);
            }
            // Every page shows its own piece of the canvas at the same place on the paper.
            const QPointF labelAt = findWord(pages[i], "Page:")->box.topLeft();
            QCOMPARE(labelAt, findWord(pages[0], "Page:")->box.topLeft());
            // Block captions are centred; the input port's name sits at the same spot on each.
            const QPointF blockAt = findWord(pages[i], "in")->box.topLeft();
            const QPointF firstBlockAt = findWord(pages[0], "in")->box.topLeft();
            QVERIFY2((blockAt - firstBlockAt).manhattanLength() < 1,
                     qPrintable(QString("page %1: block at %2,%3")
                                    .arg(i + 1)
                                    .arg(blockAt.x())
                                    .arg(blockAt.y())));
        }

        // One unit more than a page area takes a second page.
        script.dialogAnswers = {printToPdf(path("wider.pdf"), [&](QPrinter& printer) {
            area = pageArea(printer);
            editor->resizeCanvas(area.width() + 1, area.height());
        })};
        design->print();
        QCOMPARE(readPages(path("wider.pdf")).size(), 2);
    }

    void cancellingPrintsNothingAndKeepsTheSelection() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        BlockItem* chosen = place(design, "Chosen", {50, 50});
        BlockItem* other = place(design, "Other", {300, 50});
        chosen->setSelected(true);

        script.dialogAnswers = {[&](QDialog& dialog) {
            printerOf(dialog)->setOutputFormat(QPrinter::PdfFormat);
            printerOf(dialog)->setOutputFileName(path("cancelled.pdf"));
            return int(QDialog::Rejected);
        }};
        QAction* command = design->menuAction("&Print...");
        QVERIFY(command && command->isEnabled());
        command->trigger();

        QCOMPARE(script.kinds(), QStringList{"dialog"});
        QVERIFY(script.asked[0].hadParent);
        QVERIFY(!QFile::exists(path("cancelled.pdf")));
        QCOMPARE(design->canvasHandler()->selection(), QList<BlockItem*>{chosen});
        QVERIFY(drawnWithPen(chosen, selectionPen()));
        QVERIFY(drawnWithPen(other, normalPen()));
    }

    void secondPrintReusesTheFirstSettings() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        QPrinter* first = nullptr;
        QPrinter* second = nullptr;
        QString fileShown;
        QPageLayout::Orientation orientationShown = QPageLayout::Portrait;
        int resolutionShown = 0;
        script.dialogAnswers = {printToPdf(path("first.pdf"),
                                           [&](QPrinter& printer) {
                                               first = &printer;
                                               printer.setPageOrientation(QPageLayout::Landscape);
                                           }),
                                [&](QDialog& dialog) {
                                    second = printerOf(dialog);
                                    fileShown = second->outputFileName();
                                    orientationShown = second->pageLayout().orientation();
                                    resolutionShown = second->resolution();
                                    return int(QDialog::Rejected);
                                }};
        design->print();
        design->print();
        QCOMPARE(script.unexpected, 0);
        QVERIFY(first);
        QCOMPARE(second, first);
        QCOMPARE(fileShown, path("first.pdf"));
        QCOMPARE(orientationShown, QPageLayout::Landscape);
        QCOMPARE(resolutionShown, 100);
        QVERIFY(QFile::exists(path("first.pdf")));
    }

    void selectedItemsPrintWithNormalPensAndStaySelected() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        BlockItem* from = place(design, "From", {60, 60});
        BlockItem* to = place(design, "To", {260, 160});
        wire(design, from, to);
        design->canvasHandler()->selectAll();
        script.dialogAnswers = {printToPdf(path("pens.pdf"))};
        design->print();

        const QList<QImage> images = rasterise(path("pens.pdf"), path("pens"));
        QVERIFY(!images.isEmpty());
        int dark = 0;
        int bluish = 0;
        for (const QImage& image : images) {
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    dark += pixel.red() < 100;
                    bluish += pixel.blue() - pixel.red() > 20;
                }
            }
        }
        QVERIFY(dark > 0);
        QCOMPARE(bluish, 0);

        QCOMPARE(design->canvasHandler()->selection().size(), 2);
        QVERIFY(drawnWithPen(from, selectionPen()));
        QVERIFY(drawnWithPen(to, selectionPen()));
    }

    void aboutShowsTheSplashThenTheBox() {
        ScriptedInteraction script;
        MainUI* design = window();
        QVERIFY(design);
        QAction* command = design->menuAction("&About");
        QVERIFY(command && command->isEnabled());
        command->trigger();

        QCOMPARE(script.kinds(), (QStringList{"pause", "about"}));
        QCOMPARE(script.asked[0].text, QString("3000"));
        const auto& box = script.asked[1];
        QCOMPARE(box.caption, QString("Korvala Draftel"));
        QVERIFY(box.text.startsWith("<h3>Korvala Draftel</h3>"));
        QVERIFY(box.text.contains(draftelVersion()));
        QVERIFY(box.hadParent);
    }
};

DRAFTEL_TEST_MAIN(TestPrinting)
#include "test_printing.moc"
