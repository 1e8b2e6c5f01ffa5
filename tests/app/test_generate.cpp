#include "app/mainui.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Two sequences: one written into the chosen file itself, one beside it; a third after them.
const char* const definitionText = R"def(
block A ( o : i ) { edit v "a" o "$(i)" body "$(v):$(i)" }
head "head $(num)"
file "" head ;
file ".body" body ;
file ".tail" head ;
)def";
} // namespace

class TestGenerate : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    MainUI* window() {
        auto* made = new MainUI;
        made->show();
        return made->loadDefinitions(scratch.filePath("defs/gen.def")) == 0 ? made : nullptr;
    }

    static BlockItem* place(MainUI* window, int x) {
        CanvasHandler* editor = window->canvasHandler();
        auto* block = new BlockItem(editor->canvas(), editor->selectionList(),
                                    editor->findBlockType("A"), editor->nextZ());
        block->moveBy(x, 10);
        return block;
    }

    static void connect(MainUI* window, BlockItem* from, BlockItem* to) {
        const QPoint start = (from->pos() + QPointF(50, 20)).toPoint();
        auto* wire = new WireItem(start.x(), start.y(), true, window->canvasHandler()->canvas());
        wire->setFirstEnd(from, 1, false);
        const QPoint end = (to->pos() + QPointF(-10, 20)).toPoint();
        wire->moveLooseEnd(end.x(), end.y());
        wire->setSecondEnd(to, 1);
    }

private slots:
    void initTestCase() {
        QDir(scratch.path()).mkpath("defs");
        QFile file(scratch.filePath("defs/gen.def"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(definitionText);
    }
    void init() { preferences() = Preferences(); }
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void generatesEveryFileAndOpensTheChosenOne() {
        ScriptedInteraction script;
        MainUI* win = window();
        QVERIFY(win);
        BlockItem* first = place(win, 10);
        BlockItem* second = place(win, 200);
        connect(win, first, second);
        const QString chosen = scratch.filePath("out.txt");

        script.fileAnswers = {chosen};
        win->menuAction("Generate")->trigger();
        QCOMPARE(script.kinds(), (QStringList{"save", "editor"}));
        QCOMPARE(script.asked[0].caption, QString("Select filename to generate"));
        QCOMPARE(script.asked[0].text, QString("out.txt"));
        QCOMPARE(script.asked[1].text, QFileInfo(chosen).absoluteFilePath());
        QCOMPARE(readAll(chosen), QByteArray("head 2\n"));
        QCOMPARE(readAll(chosen + ".body"), QByteArray("a:\na:\n"));
        QCOMPARE(win->canvasHandler()->outputFileName(), QFileInfo(chosen).absoluteFilePath());

        // An existing file: "&No" changes nothing, not even the output file name.
        script.asked.clear();
        win->canvasHandler()->setOutputFileName("elsewhere.txt");
        script.fileAnswers = {chosen};
        script.questionAnswers = {1};
        win->generate();
        QCOMPARE(script.kinds(), (QStringList{"save", "question"}));
        QCOMPARE(script.asked[1].caption, QString("Overwrite File?"));
        QCOMPARE(script.asked[1].defaultButton, 0);
        QCOMPARE(script.asked[1].escapeButton, 1);
        QCOMPARE(win->canvasHandler()->outputFileName(), QString("elsewhere.txt"));

        // With the preference off no editor is started; cancelling the dialog does nothing.
        preferences().flags = 0;
        script.asked.clear();
        script.fileAnswers = {chosen, QString()};
        script.questionAnswers = {0};
        win->generate();
        win->generate();
        QCOMPARE(script.kinds(), (QStringList{"save", "question", "save"}));
        QCOMPARE(script.unexpected, 0);
    }

    void circularDefinitionSelectsItsBlock() {
        ScriptedInteraction script;
        MainUI* win = window();
        BlockItem* first = place(win, 10);
        BlockItem* second = place(win, 200);
        connect(win, first, second);
        connect(win, second, first);
        first->setSelected(true);
        const QString chosen = scratch.filePath("loop.txt");
        script.fileAnswers = {chosen};
        win->generate();
        QVERIFY(script.kinds().contains("critical"));
        QCOMPARE(script.asked[1].caption, QString("Circular definition"));
        QCOMPARE(script.asked[1].text, QString("The Design contains a circular definition."));
        QVERIFY(!script.asked[1].hadParent);
        QVERIFY(!script.kinds().contains("editor"));
        QVERIFY(QFile::exists(chosen)); // the first file was finished before the circle
        QVERIFY(!QFile::exists(chosen + ".body"));
        QVERIFY(!QFile::exists(chosen + ".tail"));
        QCOMPARE(win->canvasHandler()->selection().size(), 1);
        QVERIFY(win->canvasHandler()->selection().first() == first ||
                win->canvasHandler()->selection().first() == second);
    }

    void unwritableOutputIsReported() {
        ScriptedInteraction script;
        MainUI* win = window();
        place(win, 10);
        script.fileAnswers = {scratch.filePath("missing/dir/out.txt")};
        win->generate();
        QCOMPARE(script.kinds(), (QStringList{"save", "critical"}));
        QVERIFY(script.asked[1].text.contains("missing/dir/out.txt"));
    }

    // Output that would grow past the bound (a megabyte doubled twelve times) stops the run
    // with a box of its own; the file in progress is deleted and no editor is started.
    void runawayDefinitionStopsWithItsOwnBox() {
        QByteArray text = "block A ( o : i ) { }\nfile \"\" x0 ;\n";
        for (int i = 0; i < 12; ++i)
            text += QStringLiteral("x%1 \"$(x%2)$(x%2)\"\n").arg(i).arg(i + 1).toLatin1();
        text += "x12 \"" + QByteArray(1 << 20, 'x') + "\"\n";
        QFile file(scratch.filePath("defs/runaway.def"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        ScriptedInteraction script;
        auto* win = new MainUI;
        win->show();
        QCOMPARE(win->loadDefinitions(file.fileName()), 0);
        const QString chosen = scratch.filePath("runaway.txt");
        script.fileAnswers = {chosen};
        win->generate();
        QCOMPARE(script.kinds(), (QStringList{"save", "critical"}));
        QCOMPARE(script.asked[1].caption, QString("Generation stopped"));
        QCOMPARE(script.asked[1].text,
                 QString("Generation stopped: the output would exceed 256 MB."));
        QVERIFY(!QFile::exists(chosen));
    }
};

DRAFTEL_TEST_MAIN(TestGenerate)
#include "test_generate.moc"
