#include "app/startup.h"

#include "app/mainui.h"
#include "app/prefpanel.h"
#include "app/recoveryoffer.h"
#include "interaction/userinteraction.h"
#include "preferences/preferences.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>
#include <QSplashScreen>

void showSplash(int milliseconds) {
    QSplashScreen splash(QPixmap(QStringLiteral(":/greet.png")));
    splash.show();
    QApplication::processEvents();
    splash.repaint();
    interaction().pause(milliseconds);
    splash.finish(nullptr);
}

namespace {
// The attempt counter gives the person exactly one chance to repair the configuration: the
// first failure sets it to 2, the next pass offers the preferences (counter 1), and a failure
// on that pass leaves it at 1, so the pass after it gives up.
void countFailure(int& attempts) {
    if (attempts == 0) {
        attempts = 2;
    }
}

enum class Answer { New, Open, Quit };

Answer askNewOrOpen() {
    const int answer = interaction().question(
        nullptr, MainUI::tr("New design?"),
        MainUI::tr("Do you want to open a design or create a new design?"),
        {MainUI::tr("&New"), MainUI::tr("&Open"), MainUI::tr("&Quit")}, 0, -1);
    if (answer == 0) {
        return Answer::New;
    }
    if (answer == 1) {
        return Answer::Open;
    }
    return Answer::Quit;
}
} // namespace

StartupOutcome runStartup(const QStringList& arguments) {
    // Recovered designs count as designs opened from the command line: "New design?" is not
    // asked over them.
    const bool recovered = offerRecoveredDesigns() > 0;
    int attempts = 0;
    for (;;) {
        if (attempts != 0) {
            --attempts;
            if (attempts == 0) {
                interaction().critical(
                    nullptr, MainUI::tr("Definition error"),
                    MainUI::tr("The Definitions directory need to be set to the location of the "
                               "definition files.\nPlease check your installation."));
                return {false, -1};
            }
            if (!editPreferences(nullptr, preferences())) {
                return {false, -1};
            }
        }

        bool openedFromCommandLine = false;
        for (const QString& argument : arguments) {
            if (!QFileInfo(argument).isReadable()) {
                continue;
            }
            auto* window = new MainUI;
            window->show();
            if (window->openDesign(argument) == 0) {
                openedFromCommandLine = true;
                attempts = 0;
            } else {
                countFailure(attempts);
            }
        }

        if (!openedFromCommandLine && !recovered) {
            switch (askNewOrOpen()) {
            case Answer::Quit:
                return {false, 0};
            case Answer::New:
                switch (newDesignFromDefinitionFile(nullptr)) {
                case NewDesignResult::Cancelled:
                    return {false, -1};
                case NewDesignResult::Failed:
                    countFailure(attempts);
                    break;
                case NewDesignResult::Opened:
                    attempts = 0;
                    break;
                }
                break;
            case Answer::Open: {
                const QString chosen =
                    interaction().openFileName(nullptr, MainUI::tr("Choose a design"),
                                               QStringLiteral("."), MainUI::tr("Design (*.des)"));
                if (chosen.isEmpty()) {
                    return {false, -1};
                }
                const QFileInfo file(chosen);
                if (!file.isReadable()) {
                    countFailure(attempts);
                    break;
                }
                auto* window = new MainUI;
                window->show();
                if (window->openDesign(file.absoluteFilePath()) == 0) {
                    attempts = 0;
                } else {
                    countFailure(attempts);
                }
                break;
            }
            }
        }

        if (attempts == 0) {
            return {true, 0};
        }
    }
}
