#include "app/mainui.h"
#include "app/recoverysession.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "export/commandlineexport.h"
#include "preferences/preferences.h"

#include <QApplication>

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
        useInstalledDefinitions(preferences(),
                                QCoreApplication::applicationDirPath() + "/../share/draftel/defs");
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
