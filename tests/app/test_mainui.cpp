#include "app/mainui.h"
#include "app/windowlist.h"
#include "canvas/canvashandler.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QToolBox>

namespace {
void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestMainUI : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        processDeletions();
    }

    void constructionBuildsTheWindow() {
        auto* window = new MainUI;
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(openWindows().first(), window);
        QCOMPARE(window->centralWidget(), window->splitter());
        QCOMPARE(window->splitter()->widget(0), window->toolbox());
        QCOMPARE(window->splitter()->widget(1), window->canvasHandler());
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(window->hasMouseTracking());
        QVERIFY(window->designPath().isNull());
        CanvasHandler* canvas = window->canvasHandler();
        QCOMPARE(canvas->canvasSize(), QSize(800, 600));
        QVERIFY(canvas->viewport()->acceptDrops());
        QVERIFY(canvas->viewport()->hasMouseTracking());
        QCOMPARE(canvas->definitionFileName(), QString("unset def file"));
        QCOMPARE(canvas->outputFileName(), QString("out.txt"));
        QCOMPARE(canvas->contextMenu()->actions().size(), 1);
        QCOMPARE(canvas->contextMenu()->actions().first()->text(), QString("&Edit vars"));
        QVERIFY(!findWindow("/nowhere/design.des"));
        delete window;
        QVERIFY(openWindows().isEmpty());
    }

    void windowsAreStaggeredAndWrap() {
        resetWindowPositions();
        const QList<QPoint> expected = {{40, 40},   {60, 60},  {80, 80},  {100, 100}, {120, 120},
                                        {140, 140}, {160, 40}, {180, 60}, {200, 80},  {220, 100},
                                        {240, 120}, {40, 140}, {60, 40}};
        for (const QPoint& position : expected) {
            auto* window = new MainUI;
            QCOMPARE(window->pos(), position);
        }
    }

    void menuTable() {
        MainUI* window = new MainUI;
        const QList<QAction*> menus = window->menuBar()->actions();
        QStringList menuTexts;
        for (QAction* menu : menus) {
            menuTexts << (menu->isSeparator() ? QString("-") : menu->text());
        }
        QCOMPARE(menuTexts, (QStringList{"&File", "&Edit", "-", "&Help"}));

        auto entries = [](QAction* menu) {
            QStringList result;
            for (QAction* action : menu->menu()->actions()) {
                result << (action->isSeparator()
                               ? QString("-")
                               : action->text() + "|" + action->shortcut().toString());
            }
            return result;
        };
        const QString preferencesKey = window->menuAction("Preferences...")->shortcut().toString();
        QCOMPARE(
            entries(menus[0]),
            (QStringList{"&New|Ctrl+N", "&Open...|Ctrl+O", "-", "&Close...|Ctrl+W", "&Save|Ctrl+S",
                         "&Save As...|Ctrl+Shift+S", "-", "&Print...|Ctrl+P", "Export Image...|",
                         "-", "Preferences...|" + preferencesKey, "-", "Q&uit Draftel|Ctrl+Q"}));
        QCOMPARE(entries(menus[1]), (QStringList{"Undo|Ctrl+Z", "-", "Cut|Ctrl+X", "Copy|Ctrl+C",
                                                 "Paste|Ctrl+V", "Delete|Backspace", "-",
                                                 "Select &All|Ctrl+A", "-", "Generate|Ctrl+G"}));
        QCOMPARE(entries(menus[3]), QStringList{"&About|F1"});

        // The preferences accelerator exists and clashes with no other entry.
        QVERIFY(!preferencesKey.isEmpty());
        int uses = 0;
        for (QAction* menu : menus) {
            if (menu->menu()) {
                for (QAction* action : menu->menu()->actions()) {
                    uses += action->shortcut().toString() == preferencesKey;
                }
            }
        }
        QCOMPARE(uses, 1);
    }

    void closeQuestionAnswers() {
        ScriptedInteraction script;
        QPointer<MainUI> window = new MainUI;
        window->show();

        QVERIFY(window->close()); // unmodified: closes without a question
        processDeletions();
        QVERIFY(window.isNull());
        QVERIFY(script.asked.empty());

        window = new MainUI;
        window->show();
        window->canvasHandler()->setModified(true);
        script.questionAnswers = {1, -1};
        QVERIFY(!window->close()); // "Cancel"
        QVERIFY(!window->close()); // closed the box without an answer
        QCOMPARE(script.asked.size(), size_t(2));
        const auto& asked = script.asked[0];
        QVERIFY(asked.caption.isEmpty());
        QCOMPARE(asked.text,
                 QString("Do you want to save changes to this document before closing?"));
        QCOMPARE(asked.buttons, (QStringList{"Don't Save", "Cancel", "Save"}));
        QCOMPARE(asked.defaultButton, 2);
        QCOMPARE(asked.escapeButton, 1);
        QVERIFY(asked.hadParent);

        script.questionAnswers = {0}; // "Don't Save"
        QVERIFY(window->close());
        processDeletions();
        QVERIFY(window.isNull());
        QCOMPARE(script.unexpected, 0);
    }

    void quitClosesEveryWindowThatAgrees() {
        ScriptedInteraction script;
        QPointer<MainUI> first = new MainUI;
        QPointer<MainUI> refusing = new MainUI;
        QPointer<MainUI> last = new MainUI;
        refusing->canvasHandler()->setModified(true);
        script.questionAnswers = {1};
        first->quitApp();
        processDeletions();
        QVERIFY(first.isNull());
        QVERIFY(last.isNull());
        QVERIFY(!refusing.isNull());
        QCOMPARE(openWindows(), QList<MainUI*>{refusing.data()});
    }

    void resizingNeverShrinksTheCanvas() {
        auto* window = new MainUI;
        CanvasHandler* canvas = window->canvasHandler();
        window->resize(300, 200);
        window->show();
        QCOMPARE(canvas->canvasSize(), QSize(800, 600));
        window->resize(1000, 500);
        QTRY_COMPARE(canvas->canvasSize(), QSize(1000, 600));
        window->resize(900, 750);
        QTRY_COMPARE(canvas->canvasSize(), QSize(1000, 750));
        window->resize(400, 300);
        QTest::qWait(20);
        QCOMPARE(canvas->canvasSize(), QSize(1000, 750));
    }

    void newRefusesAFileOutsideTheDefinitionsDirectory() {
        ScriptedInteraction script;
        QTemporaryDir scratch;
        QDir(scratch.path()).mkpath("defs/sub");
        QFile nested(scratch.filePath("defs/sub/a.def"));
        QVERIFY(nested.open(QIODevice::WriteOnly));
        nested.close();
        preferences().definitionsDirectory = scratch.filePath("defs");
        auto* window = new MainUI;
        script.fileAnswers = {nested.fileName()};
        window->menuAction("&New")->trigger();
        QCOMPARE(script.kinds(), (QStringList{"open", "critical"}));
        QVERIFY(script.asked[1].hadParent);
        QVERIFY(script.asked[1].text.endsWith(QDir(scratch.filePath("defs")).absolutePath()));
        QCOMPARE(openWindows().size(), 1); // no window was created

        script.fileAnswers = {QString()}; // cancelled: nothing happens
        window->newView();
        QCOMPARE(openWindows().size(), 1);
    }
};

DRAFTEL_TEST_MAIN(TestMainUI)
#include "test_mainui.moc"
