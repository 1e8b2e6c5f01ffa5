#include "app/mainui.h"
#include "app/recoverysession.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "export/commandlineexport.h"
#include "preferences/preferences.h"

#include <QApplication>
#include <QDir>

namespace {
// An installed editor started from the desktop does not run in a folder holding "defs": while
// the preference is still the default and no such folder is at hand, it uses the definition
// files installed beside the program.
void findInstalledDefinitions() {
    if (preferences().definitionsDirectory != Preferences().definitionsDirectory ||
        QDir(preferences().definitionsDirectory).exists()) {
        return;
    }
    const QDir installed(QCoreApplication::applicationDirPath() + "/../share/draftel/defs");
    if (installed.exists()) {
        preferences().definitionsDirectory = installed.absolutePath();
    }
}
} // namespace

int main(int argc, char** argv) {
    // A picture from the command line: no splash, no window, no preferences written back.
    if (isExportImageCommand(argc, argv)) {
        return runExportImage(argc, argv);
    }
    // Read before the application exists and written back after it is gone, whatever the
    // exit status.
    PreferencesHolder heldPreferences;
    int status = 0;
    {
        QApplication app(argc, argv);
        findInstalledDefinitions();
        showSplash(2500);
        QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
        // Outlives every window, whose copies it writes and removes.
        RecoverySession recovery;
        const StartupOutcome outcome = runStartup(app.arguments().mid(1));
        status = outcome.runEventLoop ? app.exec() : outcome.exitStatus;
        // Windows still open when start-up gives up go before the application does.
        qDeleteAll(QList<MainUI*>(openWindows()));
    }
    return status;
}
