#include "app/mainui.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"
#include "designfile/designfile.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QPointer>

namespace {
void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const char* const definitionText = R"(
block Source ( out : ) { edit name "src" edit level "1" }
block Filter ( out : in, aux ) { edit gain "2" }
block Sink ( : in ) { }
)";
} // namespace

class TestDesignFiles : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString path(const QString& name) const { return scratch.filePath(name); }

    MainUI* windowWithDefinitions() {
        auto* window = new MainUI;
        window->show();
        if (window->loadDefinitions(path("defs/flow.def")) != 0) {
            return nullptr;
        }
        return window;
    }

    static BlockItem* place(MainUI* window, const char* type, int x, int y) {
        CanvasHandler* editor = window->canvasHandler();
        auto* block = new BlockItem(editor->canvas(), editor->selectionList(),
                                    editor->findBlockType(type), editor->nextZ());
        block->moveBy(x, y);
        return block;
    }

    static QPoint stubEnd(BlockItem* block, int number, bool isInput) {
        for (const PortItem& port : block->ports()) {
            if (port.isInput == isInput && port.number == number) {
                return (block->pos() + port.stub->line().p2()).toPoint();
            }
        }
        return {};
    }

    // A wire drawn from an output to an input, clicking at the given points on the way.
    static WireItem* wire(MainUI* window, BlockItem* from, int out, BlockItem* to, int in,
                          QList<QPoint> clicks = {}) {
        const QPoint start = stubEnd(from, out, false);
        auto* made = new WireItem(start.x(), start.y(), true, window->canvasHandler()->canvas());
        made->setFirstEnd(from, out, false);
        for (QPoint click : clicks) {
            made->moveLooseEnd(click.x(), click.y());
            made->addSegmentTo(click.x(), click.y());
        }
        const QPoint end = stubEnd(to, in, true);
        made->moveLooseEnd(end.x(), end.y());
        made->setSecondEnd(to, in);
        return made;
    }

private slots:
    void initTestCase() {
        QDir(scratch.path()).mkpath("defs");
        QVERIFY(writeAll(path("defs/flow.def"), definitionText));
    }
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = path("defs");
    }
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        processDeletions();
    }

    void saveLoadSaveGivesTheSameBytes() {
        ScriptedInteraction script;
        MainUI* window = windowWithDefinitions();
        QVERIFY(window);
        BlockItem* source = place(window, "Source", 20, 30);
        BlockItem* filter = place(window, "Filter", 200, 40);
        BlockItem* sink = place(window, "Sink", 420, 300);
        source->variables().find("level")->append(DynString("second value"));
        source->variables().find("name")->at(0)->assign("Input");
        source->setLabel("Input");
        wire(window, source, 1, filter, 1, {QPoint(120, 200), QPoint(160, 80)});
        wire(window, filter, 1, sink, 1);
        wire(window, filter, 1, filter, 2, {QPoint(300, 150), QPoint(180, 150)}); // to itself
        window->canvasHandler()->setOutputFileName("/tmp/generated.c");
        window->canvasHandler()->setModified(true);

        QVERIFY(window->canvasHandler()->saveDesign(path("first.des"), QRect(40, 50, 700, 500)));
        QVERIFY(!window->canvasHandler()->isModified());

        const DesignRecords records = readDesignFile(path("first.des"));
        QVERIFY(records.settings);
        QCOMPARE(records.settings->definitionFile, std::string("flow.def"));
        QCOMPARE(records.settings->outputFile, std::string("/tmp/generated.c"));
        QCOMPARE(records.blocks.size(), size_t(3));
        QCOMPARE(records.blocks[0].variables.size(), size_t(2));
        QCOMPARE(records.blocks[0].variables[0].value, std::string("1")); // first value only
        QCOMPARE(records.wires.size(), size_t(3));
        QCOMPARE(records.wires[0].points.size(), size_t(5)); // three clicks' worth of bends

        QPointer<MainUI> reopened = new MainUI;
        reopened->show();
        QCOMPARE(reopened->openDesign(path("first.des")), 0);
        QCOMPARE(reopened->windowTitle(), QString("Design first.des"));
        CanvasHandler* editor = reopened->canvasHandler();
        QCOMPARE(editor->canvas()->blockCount(), 3);
        QCOMPARE(editor->outputFileName(), QString("/tmp/generated.c"));
        QCOMPARE(editor->canvas()->blocks()[0]->label(), QString("Input"));
        QCOMPARE(editor->currentZ(), 3.0f); // raised past each loaded depth that exceeded it
        QVERIFY(!editor->isModified());
        QVERIFY(editor->saveDesign(path("second.des"), QRect(40, 50, 700, 500)));
        QCOMPARE(readAll(path("second.des")), readAll(path("first.des")));
    }

    void loadingRaisesTheDepthCounter() {
        ScriptedInteraction script;
        MainUI* source = windowWithDefinitions();
        place(source, "Source", 0, 0);
        QVERIFY(source->canvasHandler()->saveDesign(path("z.des"), QRect(0, 0, 300, 200)));
        DesignRecords records = readDesignFile(path("z.des"));
        records.blocks[0].z = 7.0f;
        QVERIFY(writeDesignFile(path("z.des"), records));
        auto* window = new MainUI;
        window->canvasHandler()->setZCounter(3.0f);
        QCOMPARE(window->openDesign(path("z.des")), 0);
        QCOMPARE(window->canvasHandler()->currentZ(), 8.0f);
    }

    void saveAsRulesAndFailedSaves() {
        ScriptedInteraction script;
        MainUI* window = windowWithDefinitions();
        place(window, "Sink", 10, 10);
        window->canvasHandler()->setModified(true);

        script.fileAnswers = {path("plain")};
        QVERIFY(window->saveAsView());
        QVERIFY(QFile::exists(path("plain.des")));
        QCOMPARE(window->designPath(), QFileInfo(path("plain.des")).absoluteFilePath());
        QCOMPARE(window->windowTitle(), QString("Design plain.des"));

        script.fileAnswers = {path("upper.DES")};
        QVERIFY(window->saveAsView());
        QVERIFY(QFile::exists(path("upper.DES.des")));

        // Onto its own file: no question. Onto another existing file: asked, "&No" keeps it.
        script.asked.clear();
        script.fileAnswers = {path("upper.DES.des")};
        QVERIFY(window->saveAsView());
        QCOMPARE(script.kinds(), QStringList{"save"});
        const QByteArray before = readAll(path("plain.des"));
        script.fileAnswers = {path("plain.des")};
        script.questionAnswers = {1};
        QVERIFY(!window->saveAsView());
        QCOMPARE(script.asked.back().caption, QString("Overwrite File?"));
        QCOMPARE(script.asked.back().text,
                 QString("A file called plain.des already exists.\nDo you want to overwrite it?"));
        QCOMPARE(script.asked.back().buttons, (QStringList{"&Yes", "&No"}));

        // A save that fails keeps the old file, the modified flag, and says why.
        window->canvasHandler()->setModified(true);
        QVERIFY(QDir(scratch.path()).mkpath("blocked.des"));
        script.asked.clear();
        script.fileAnswers = {path("blocked.des")};
        script.questionAnswers = {0};
        QVERIFY(!window->saveAsView());
        QCOMPARE(script.asked.back().kind, QString("critical"));
        QVERIFY(window->canvasHandler()->isModified());
        QCOMPARE(readAll(path("plain.des")), before);

        // The close question's "Save" keeps the window open when saving fails.
        script.fileAnswers = {path("blocked.des")};
        script.questionAnswers = {2, 0};
        QVERIFY(!window->close());
        QCOMPARE(script.unexpected, 0);
    }

    void openingAWindowTwiceActivatesIt() {
        ScriptedInteraction script;
        MainUI* window = windowWithDefinitions();
        place(window, "Sink", 10, 10);
        script.fileAnswers = {path("shown.des")};
        QVERIFY(window->saveAsView());
        const int windows = int(openWindows().size());
        script.fileAnswers = {path("shown.des")};
        window->openView();
        QCOMPARE(int(openWindows().size()), windows);
        QCOMPARE(findWindow(QFileInfo(path("shown.des")).absoluteFilePath()), window);

        // A design on the command line opens at start-up without the question.
        cleanup();
        const StartupOutcome outcome = runStartup({path("shown.des")});
        QVERIFY(outcome.runEventLoop);
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(openWindows().first()->canvasHandler()->canvas()->blockCount(), 1);
    }
};

DRAFTEL_TEST_MAIN(TestDesignFiles)
#include "test_designfiles.moc"
