// Recovery copies: an editor killed with unsaved changes gives them back at the next start;
// copies follow their windows; damaged copies are set aside, never offered and never fatal.
#include "app/mainui.h"
#include "app/recoverycopyfile.h"
#include "app/recoveryoffer.h"
#include "app/recoverysession.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "designfile/designfile.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QProcess>
#include <QRandomGenerator>

namespace {
const QString sourceDirectory = QStringLiteral(DRAFTEL_SOURCE_DIR);
const QString childFlag = QStringLiteral("--edit-until-killed");
// Long enough that no copy is written while a test looks.
const int neverDuringTheTest = 3600 * 1000;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList copiesUnder(const QString& root) {
    QStringList copies;
    QDirIterator it(root, {"*.des"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        copies << it.next();
    }
    return copies;
}

// Seeded editing of a random selection through the editor's own commands.
void editAtRandom(CanvasHandler& editor, quint32 seed) {
    QRandomGenerator random(seed);
    for (int step = 0; step < 12; ++step) {
        editor.deselectAll();
        for (BlockItem* block : editor.canvas()->blocks()) {
            block->setSelected(random.bounded(3) == 0);
        }
        const int command = random.bounded(4);
        if (command == 0) {
            editor.copy();
            editor.paste();
        } else if (command == 1) {
            editor.deleteSelected();
        } else if (command == 2) {
            editor.keyPress(random.bounded(2) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
        } else {
            editor.undo();
        }
    }
}

// The child process: an editor on a design whose copies go under root, edited at random, which
// writes what saving would write to `expected` and then runs until it is killed.
int editUntilKilled(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString root = arguments.value(2), design = arguments.value(3);
    const QString expected = arguments.value(4);
    preferences().definitionsDirectory = sourceDirectory + "/defs";
    RecoverySession session(root);
    ScriptedInteraction nothingAsked;
    auto* window = new MainUI;
    window->show();
    if (window->openDesign(design) != 0) {
        return 3;
    }
    editAtRandom(*window->canvasHandler(), arguments.value(5).toUInt());
    window->canvasHandler()->setModified(true); // whatever the edits came to
    QCoreApplication::processEvents();
    const DesignRecords records = window->canvasHandler()->designRecords(window->geometry());
    if (!writeDesignFile(expected + ".part", records) ||
        !QFile::rename(expected + ".part", expected)) {
        return 4;
    }
    return app.exec();
}
} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private:
    QTemporaryDir work;

    QString copyOfExample(const QString& name) {
        const QString path = work.filePath(name);
        QFile::remove(path);
        QFile::copy(sourceDirectory + "/examples/formula.des", path);
        return QFileInfo(path).absoluteFilePath();
    }

    static void closeAllWindows() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = sourceDirectory + "/defs";
    }
    void cleanup() { closeAllWindows(); }

    void killedEditorIsRecoveredAtTheNextStart() {
        const QString root = work.filePath("killed/recovery");
        const QString design = copyOfExample("formula.des");
        const QString expected = work.filePath("killed/expected.des");
        const QByteArray original = contents(design);

        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DRAFTEL_RECOVERY_INTERVAL_MS", "1");
        editor.setProcessEnvironment(environment);
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(QCoreApplication::applicationFilePath(),
                     {childFlag, root, design, expected, "20240519"});
        QVERIFY(editor.waitForStarted(60000));
        QTRY_VERIFY_WITH_TIMEOUT(editor.state() != QProcess::Running ||
                                     (QFileInfo::exists(expected) && !copiesUnder(root).isEmpty()),
                                 240000);
        QCOMPARE(editor.state(), QProcess::Running);
        QVERIFY(readDesignFile(expected).blocks != readDesignFile(design).blocks);
        {
            // Another editor starting meanwhile leaves the running one's copies alone.
            RecoverySession meanwhile(root, neverDuringTheTest);
            ScriptedInteraction script;
            QCOMPARE(offerRecoveredDesigns(), 0);
            QCOMPARE(script.kinds(), QStringList());
        }
        editor.kill();
        QVERIFY(editor.waitForFinished(60000));

        RecoverySession session(root, neverDuringTheTest);
        ScriptedInteraction script;
        script.questionAnswers = {0}; // "&Recover All"
        const StartupOutcome outcome = runStartup({});
        QVERIFY(outcome.runEventLoop);
        QCOMPARE(script.kinds(), QStringList{"question"}); // and no "New design?"
        QCOMPARE(script.asked[0].caption, QString("Recover designs?"));
        QVERIFY(script.asked[0].text.contains("formula.des, copied "));
        QCOMPARE(script.asked[0].buttons,
                 (QStringList{"&Recover All", "&Discard", "Decide &Later"}));
        QCOMPARE(script.asked[0].escapeButton, 2);

        QCOMPARE(openWindows().size(), 1);
        MainUI* window = openWindows().first();
        QVERIFY(window->canvasHandler()->isModified());
        QCOMPARE(window->windowTitle(), QString("Design formula.des"));
        QCOMPARE(window->designPath(), design);
        QCOMPARE(contents(design), original);
        // The copy now belongs to this run, which a later crash would offer again.
        QCOMPARE(copiesUnder(root), QStringList{session.copyPath("window-1")});
        QCOMPARE(QDir(root).entryList({"session-*"}, QDir::Dirs).size(), 1);

        script.fileAnswers = {work.filePath("killed/recovered.des")};
        QVERIFY(window->saveAsView());
        QCOMPARE(contents(work.filePath("killed/recovered.des")), contents(expected));
        session.waitForWrites();
        QCOMPARE(copiesUnder(root), QStringList());
    }

    void copiesFollowTheirWindows() {
        const QString root = work.filePath("windows/recovery");
        {
            RecoverySession session(root, 1);
            ScriptedInteraction script;
            QList<MainUI*> windows;
            for (const char* name : {"saved.des", "discarded.des", "quit.des"}) {
                auto* window = new MainUI;
                window->show();
                QCOMPARE(window->openDesign(copyOfExample(name)), 0);
                window->canvasHandler()->selectAll();
                window->canvasHandler()->copy();
                window->canvasHandler()->paste();
                windows << window;
            }
            // One copy per window, each of its own design, and the window still modified.
            QTRY_COMPARE_WITH_TIMEOUT(copiesUnder(root).size(), 3, 120000);
            session.waitForWrites();
            for (int i = 0; i < windows.size(); ++i) {
                const auto copy =
                    readRecoveryCopy(session.copyPath(QString("window-%1").arg(i + 1)), nullptr);
                QVERIFY(copy && copy->designPath == windows[i]->designPath());
                QCOMPARE(readDesignFile(copy->copyPath).blocks,
                         windows[i]->canvasHandler()->designRecords(windows[i]->geometry()).blocks);
                QVERIFY(windows[i]->canvasHandler()->isModified());
            }

            // Each way out takes its own window's copy, and only that one.
            windows[0]->saveView();
            session.waitForWrites();
            QCOMPARE(copiesUnder(root).size(), 2);
            QVERIFY(!QFileInfo::exists(session.copyPath("window-1")));
            script.questionAnswers = {0}; // "Don't Save"
            windows[1]->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            session.waitForWrites();
            QCOMPARE(copiesUnder(root), QStringList{session.copyPath("window-3")});
            script.questionAnswers = {2}; // "Save", under a new name
            script.fileAnswers = {work.filePath("windows/quit-saved.des")};
            windows[2]->quitApp();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(openWindows().isEmpty());
            session.waitForWrites();
            QCOMPARE(copiesUnder(root), QStringList());
        }
        // A run that ended normally leaves nothing behind.
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void answersDecideWhatHappensToTheCopies() {
        struct Case {
            int answer;
            int recovered;
            QStringList asked;
            int copiesLeftInEndedRun;
        };
        // Recovering a copy whose definition file is gone shows the normal load error and
        // keeps that copy for a later start.
        const Case cases[] = {{0, 1, {"question", "critical"}, 1},
                              {1, 0, {"question"}, 0},
                              {2, 0, {"question"}, 2},
                              {-1, 0, {"question"}, 2}};
        for (const Case& c : cases) {
            // An ended run left two copies of a never-saved design, one on a definition file
            // that is gone.
            QTemporaryDir scratch;
            const QString root = scratch.filePath("recovery");
            const QString ended = root + "/session-ended";
            QDir().mkpath(ended);
            DesignRecords records = readDesignFile(sourceDirectory + "/examples/formula.des");
            const QDateTime time = QDateTime::currentDateTimeUtc();
            QVERIFY(writeRecoveryCopy(ended, "window-1", records, QString(), time));
            records.settings->definitionFile = "missing.def";
            QVERIFY(writeRecoveryCopy(ended, "window-2", records, QString(), time.addSecs(1)));

            RecoverySession session(root, neverDuringTheTest);
            ScriptedInteraction script;
            script.questionAnswers = {c.answer};
            QCOMPARE(offerRecoveredDesigns(), c.recovered);
            QCOMPARE(script.kinds(), c.asked);
            QVERIFY(script.asked[0].text.contains("unsaved design (guide_expressions.def)"));
            QVERIFY(script.asked[0].text.contains("unsaved design (missing.def)"));
            QCOMPARE(copiesUnder(ended).size(), c.copiesLeftInEndedRun);
            QCOMPARE(QDir(ended).exists(), c.copiesLeftInEndedRun > 0);
            if (c.recovered) {
                QVERIFY(openWindows().first()->designPath().isNull());
            }
            closeAllWindows();
        }
    }

    // Every cut of a copy or of its description, including cuts at record boundaries that
    // leave a well-formed but shorter design, all left behind by one ended run.
    void copiesCutShortAreSetAsideNeverOffered() {
        QTemporaryDir scratch;
        const QString root = scratch.filePath("recovery");
        const QString whole = scratch.filePath("whole");
        QDir().mkpath(whole);
        QVERIFY(writeRecoveryCopy(whole, "window-1",
                                  readDesignFile(sourceDirectory + "/examples/formula.des"),
                                  "/elsewhere/formula.des", QDateTime::currentDateTimeUtc()));
        const QByteArray copy = contents(whole + "/window-1.des");
        const QByteArray description = contents(whole + "/window-1.json");
        QVERIFY(readRecoveryCopy(whole + "/window-1.des", nullptr));

        const QString ended = QDir(root).filePath("session-ended");
        QDir().mkpath(ended);
        QMap<QString, qsizetype> sizes; // each cut's name and the size of its copy
        const auto leave = [&](const QString& name, const QByteArray& des, const QByteArray& json) {
            QFile desFile(ended + "/" + name + ".des"), jsonFile(ended + "/" + name + ".json");
            QVERIFY(desFile.open(QIODevice::WriteOnly) && jsonFile.open(QIODevice::WriteOnly));
            desFile.write(des);
            jsonFile.write(json);
            sizes.insert("session-ended-" + name + ".des", des.size());
        };
        for (qsizetype length = 0; length < copy.size(); ++length) {
            leave(QString("copy-cut-at-%1").arg(length), copy.left(length), description);
        }
        for (qsizetype length = 0; length < description.size(); ++length) {
            leave(QString("description-cut-at-%1").arg(length), copy, description.left(length));
        }

        RecoverySession session(root, neverDuringTheTest);
        ScriptedInteraction script;
        QCOMPARE(offerRecoveredDesigns(), 0);
        QCOMPARE(script.kinds(), QStringList{"warning"});
        QCOMPARE(script.asked[0].text.count(".des: "), sizes.size());
        QVERIFY(!QDir(ended).exists());
        const QDir setAside(QDir(root).filePath("set-aside"));
        QCOMPARE(setAside.entryList({"*.des"}, QDir::Files, QDir::Name), QStringList(sizes.keys()));
        for (auto cut = sizes.cbegin(); cut != sizes.cend(); ++cut) {
            QCOMPARE(QFileInfo(setAside.filePath(cut.key())).size(), cut.value());
        }
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && argv[1] == childFlag) {
        return editUntilKilled(argc, argv);
    }
    redirectSettings();
    QApplication app(argc, argv);
    TestRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
