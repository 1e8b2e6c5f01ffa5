#include "app/mainui.h"
#include "preferences/preferences.h"
#include "app/startup.h"
#include "app/windowlist.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Read before the application exists and written back after it is gone, whatever the
    // exit status.
    PreferencesHolder heldPreferences;
    int status = 0;
    {
        QApplication app(argc, argv);
        showSplash(2500);
        QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
        const StartupOutcome outcome = runStartup(app.arguments().mid(1));
        status = outcome.runEventLoop ? app.exec() : outcome.exitStatus;
        // Windows still open when start-up gives up go before the application does.
        qDeleteAll(QList<MainUI*>(openWindows()));
    }
    return status;
}
