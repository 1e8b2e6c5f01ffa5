#include "app/mainui.h"
#include "preferences/preferences.h"
#include "app/prefpanel.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QLineEdit>

class TestStartup : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;

    QString definitionsDirectory() const { return scratch.filePath("defs"); }
    // A file that exists but lies outside the definitions directory.
    QString strayDefinitionFile() const { return scratch.filePath("elsewhere/stray.def"); }

    static void closeAllWindows() {
        qDeleteAll(QList<MainUI*>(openWindows()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() {
        QVERIFY(scratch.isValid());
        QDir(scratch.path()).mkpath("defs");
        QDir(scratch.path()).mkpath("elsewhere");
        QFile stray(strayDefinitionFile());
        QVERIFY(stray.open(QIODevice::WriteOnly));
    }

    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = definitionsDirectory();
    }
    void cleanup() { closeAllWindows(); }

    void splashShowsForTheGivenTime() {
        ScriptedInteraction script;
        showSplash(2500);
        QCOMPARE(script.kinds(), QStringList{"pause"});
        QCOMPARE(script.asked[0].text, QString("2500"));
        QVERIFY(!QPixmap(":/greet.png").isNull());
        QCOMPARE(QPixmap(":/greet.png").size(), QSize(400, 222));
    }

    void quitEndsWithStatusZero() {
        ScriptedInteraction script;
        script.questionAnswers = {2};
        const StartupOutcome outcome = runStartup({});
        QVERIFY(!outcome.runEventLoop);
        QCOMPARE(outcome.exitStatus, 0);
        QCOMPARE(script.kinds(), QStringList{"question"});
        const auto& asked = script.asked[0];
        QCOMPARE(asked.caption, QString("New design?"));
        QCOMPARE(asked.text, QString("Do you want to open a design or create a new design?"));
        QCOMPARE(asked.buttons, (QStringList{"&New", "&Open", "&Quit"}));
        QCOMPARE(asked.defaultButton, 0);
        QCOMPARE(asked.escapeButton, -1);
        QVERIFY(!asked.hadParent);

        script.asked.clear();
        script.questionAnswers = {-1}; // the box closed some other way
        QCOMPARE(runStartup({}).exitStatus, 0);
    }

    void unusableDirectoryGetsOneRepairThenGivesUp() {
        ScriptedInteraction script;
        script.questionAnswers = {0, 0};
        script.fileAnswers = {strayDefinitionFile(), strayDefinitionFile()};
        script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        const StartupOutcome outcome = runStartup({});
        QVERIFY(!outcome.runEventLoop);
        QCOMPARE(outcome.exitStatus, -1);
        QCOMPARE(script.kinds(), (QStringList{"question", "open", "critical", "dialog", "question",
                                              "open", "critical", "critical"}));
        QCOMPARE(script.asked[1].caption, QString("Select a definition file"));
        QCOMPARE(script.asked[1].text, definitionsDirectory());
        QCOMPARE(script.asked[1].buttons, QStringList{"Definition (*.def)"});
        QCOMPARE(script.asked[2].caption, QString("Definition error"));
        QCOMPARE(script.asked[2].text,
                 QString("Select only definition files from the Definitions directory.\n"
                         "Directory: %1")
                     .arg(QDir(definitionsDirectory()).absolutePath()));
        QVERIFY(!script.asked[2].hadParent);
        QCOMPARE(script.asked[3].text, QString("PrefPanel"));
        QCOMPARE(script.asked.back().text,
                 QString("The Definitions directory need to be set to the location of the "
                         "definition files.\nPlease check your installation."));
        QCOMPARE(script.unexpected, 0);
        QVERIFY(openWindows().isEmpty());
    }

    void preferencesAtStartUpTakeEffect() {
        ScriptedInteraction script;
        preferences().flags = 6;
        script.questionAnswers = {0, 2};
        script.fileAnswers = {strayDefinitionFile()};
        script.dialogAnswers.push_back([](QDialog& dialog) {
            auto& panel = static_cast<PrefPanel&>(dialog);
            panel.defsDirectory->setText("repaired");
            return int(QDialog::Accepted);
        });
        QCOMPARE(runStartup({}).exitStatus, 0); // "&Quit" on the second pass
        QCOMPARE(preferences().definitionsDirectory, QString("repaired"));
        QCOMPARE(preferences().flags, 0);
    }

    void cancellingEndsWithStatusMinusOne() {
        {
            ScriptedInteraction script; // preferences dialog cancelled after a failure
            script.questionAnswers = {0};
            script.fileAnswers = {strayDefinitionFile()};
            script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
            QCOMPARE(runStartup({}).exitStatus, -1);
            QCOMPARE(script.kinds(), (QStringList{"question", "open", "critical", "dialog"}));
        }
        {
            ScriptedInteraction script; // the definition file dialog cancelled
            script.questionAnswers = {0};
            script.fileAnswers = {QString()};
            QCOMPARE(runStartup({}).exitStatus, -1);
        }
        {
            ScriptedInteraction script; // the design file dialog cancelled
            script.questionAnswers = {1};
            script.fileAnswers = {QString()};
            QCOMPARE(runStartup({}).exitStatus, -1);
            QCOMPARE(script.asked[1].caption, QString("Choose a design"));
            QCOMPARE(script.asked[1].text, QString("."));
            QCOMPARE(script.asked[1].buttons, QStringList{"Design (*.des)"});
        }
    }

    void unreadableArgumentIsSkipped() {
        ScriptedInteraction script;
        script.questionAnswers = {2};
        QCOMPARE(runStartup({scratch.filePath("missing.des")}).exitStatus, 0);
        QCOMPARE(script.kinds(), QStringList{"question"});
        QVERIFY(openWindows().isEmpty());
    }

    void unreadableDesignChosenCountsAFailure() {
        ScriptedInteraction script;
        script.questionAnswers = {1};
        script.fileAnswers = {scratch.filePath("missing.des")};
        script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
        QCOMPARE(runStartup({}).exitStatus, -1);
        QCOMPARE(script.kinds(), (QStringList{"question", "open", "dialog"}));
    }
};

DRAFTEL_TEST_MAIN(TestStartup)
#include "test_startup.moc"
