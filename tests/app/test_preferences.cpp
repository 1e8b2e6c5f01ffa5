#include "app/prefpanel.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

class TestPreferences : public QObject {
    Q_OBJECT
private:
    QString userFile() const {
        return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Korvala/Draftel.conf");
    }
    QString systemFile() const {
        return QDir(qEnvironmentVariable("XDG_CONFIG_DIRS")).filePath("Korvala/Draftel.conf");
    }

private slots:
    void init() {
        QFile::remove(userFile());
        QFile::remove(systemFile());
        preferences() = Preferences();
    }

    void defaultsWhenNothingIsStored() {
        const Preferences read = Preferences::read();
        QCOMPARE(read.version, 1);
        QCOMPARE(read.flags, 1);
        QVERIFY(read.openGeneratedFile());
        QCOMPARE(read.definitionsDirectory, QString("defs"));
    }

    void valuesSurviveARestartInTheUserScope() {
        {
            PreferencesHolder held;
            preferences().flags = 0;
            preferences().definitionsDirectory = "/srv/defs/";
            preferences().version = 7;
        } // written back here, as at the end of the program
        preferences() = Preferences();
        QVERIFY(QFile::exists(userFile()));
        QVERIFY(!QFile::exists(systemFile()));
        PreferencesHolder again;
        QCOMPARE(preferences().flags, 0);
        QCOMPARE(preferences().definitionsDirectory, QString("/srv/defs/"));
        QCOMPARE(preferences().version, 7);
    }

    void systemWideValuesAreTheFallback() {
        QDir().mkpath(QFileInfo(systemFile()).absolutePath());
        {
            QSettings system(systemFile(), QSettings::IniFormat);
            system.setValue("/prefDefDirectory", "/opt/site-defs");
            system.setValue("/prefFlags", 0);
        }
        Preferences read = Preferences::read();
        QCOMPARE(read.definitionsDirectory, QString("/opt/site-defs"));
        QCOMPARE(read.flags, 0);

        read.definitionsDirectory = "mine";
        QVERIFY(read.write());
        const Preferences again = Preferences::read();
        QCOMPARE(again.definitionsDirectory, QString("mine"));
        QCOMPARE(again.flags, 0);
        // The administrator's file is left as it was.
        QSettings system(systemFile(), QSettings::IniFormat);
        QCOMPARE(system.value("/prefDefDirectory").toString(), QString("/opt/site-defs"));
    }

    void writeReportsAFailure() {
        // A directory where the settings file should be makes the write fail.
        QDir().mkpath(userFile());
        Preferences values;
        QVERIFY(!values.write());
        QDir(userFile()).removeRecursively();
    }

    // The definition files installed beside the program serve a run started away from any
    // "defs" folder, but never reach the person's settings; a directory chosen in the
    // preferences dialog does, and from then on wins over the installed files.
    void installedDefinitionsServeOneRunOnly() {
        ScriptedInteraction script;
        QTemporaryDir working;
        QTemporaryDir installed;
        const QString installedPath = QDir(installed.path()).absolutePath();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(working.path()));
        const auto run = [&](const QString& expected, bool choose = false) {
            PreferencesHolder held;
            useInstalledDefinitions(preferences(), installed.path());
            QCOMPARE(preferences().definitionsDirectory, expected);
            if (choose) {
                script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
                QVERIFY(editPreferences(nullptr, preferences()));
            }
        };
        run(installedPath);
        QCOMPARE(Preferences::read().definitionsDirectory, QString("defs"));
        QVERIFY(QDir(working.path()).mkdir("defs")); // a folder at hand wins
        run("defs");
        QVERIFY(QDir(working.path()).rmdir("defs"));
        run(installedPath, true);
        QCOMPARE(Preferences::read().definitionsDirectory, installedPath);
        QVERIFY(QDir::setCurrent(previous));
    }

    void panelLayoutAndTexts() {
        PrefPanel panel;
        QCOMPARE(panel.objectName(), QString("PrefPanel"));
        QCOMPARE(panel.windowTitle(), QString("Preferences"));
        QCOMPARE(panel.findChild<QLabel*>("textLabel1")->text(), QString("Definitions directory:"));
        QCOMPARE(panel.openGenFiles->objectName(), QString("openGenFiles"));
        QCOMPARE(panel.openGenFiles->text(), QString("Open generated file"));
        QCOMPARE(panel.okButton->text(), QString("OK"));
        QCOMPARE(panel.cancelButton->text(), QString("Cancel"));
        QVERIFY(panel.findChild<QFrame*>("line1"));
        QVERIFY(panel.findChild<QFrame*>("line1_2"));
        auto* grid = qobject_cast<QGridLayout*>(panel.layout());
        QVERIFY(grid);
        QCOMPARE(grid->objectName(), QString("PrefPanelLayout"));
        QCOMPARE(grid->contentsMargins(), QMargins(11, 11, 11, 11));
        for (const char* name : {"layout8", "layout3", "layout2", "layout5"}) {
            QVERIFY2(panel.findChild<QLayout*>(name), name);
        }
        QVERIFY(panel.width() >= 383 && panel.height() >= 198);
        auto nextTabStop = [](QWidget* widget) {
            do {
                widget = widget->nextInFocusChain();
            } while (!(widget->focusPolicy() & Qt::TabFocus));
            return widget;
        };
        QCOMPARE(nextTabStop(panel.defsDirectory), panel.openGenFiles);
        QCOMPARE(nextTabStop(panel.openGenFiles), panel.okButton);
        QCOMPARE(nextTabStop(panel.okButton), panel.cancelButton);

        PrefPanel named(nullptr, "other");
        QCOMPARE(named.objectName(), QString("other"));
    }

    void acceptingTakesOverExactlyWhatWasShown() {
        ScriptedInteraction script;
        Preferences values;
        values.flags = 6; // bit 0 clear: the box shows unchecked
        values.definitionsDirectory = "old";
        bool shownChecked = true;
        QString shownDirectory;
        script.dialogAnswers.push_back([&](QDialog& dialog) {
            auto& panel = static_cast<PrefPanel&>(dialog);
            shownChecked = panel.openGenFiles->isChecked();
            shownDirectory = panel.defsDirectory->text();
            panel.defsDirectory->setText("new/dir/ ");
            return int(QDialog::Accepted);
        });
        QVERIFY(editPreferences(nullptr, values));
        QVERIFY(!shownChecked);
        QCOMPARE(shownDirectory, QString("old"));
        QCOMPARE(values.flags, 0);                                   // every other bit cleared
        QCOMPARE(values.definitionsDirectory, QString("new/dir/ ")); // as typed, untrimmed

        script.dialogAnswers.push_back([](QDialog& dialog) {
            static_cast<PrefPanel&>(dialog).openGenFiles->setChecked(true);
            return int(QDialog::Accepted);
        });
        QVERIFY(editPreferences(nullptr, values));
        QCOMPARE(values.flags, 1);
    }

    void cancellingChangesNothing() {
        ScriptedInteraction script;
        Preferences values;
        values.definitionsDirectory = "keep";
        script.dialogAnswers.push_back([](QDialog& dialog) {
            auto& panel = static_cast<PrefPanel&>(dialog);
            panel.defsDirectory->setText("changed");
            panel.openGenFiles->setChecked(false);
            return int(QDialog::Rejected);
        });
        QVERIFY(!editPreferences(nullptr, values));
        QCOMPARE(values.definitionsDirectory, QString("keep"));
        QCOMPARE(values.flags, 1);
        QCOMPARE(script.unexpected, 0);
    }
};

DRAFTEL_TEST_MAIN(TestPreferences)
#include "test_preferences.moc"
