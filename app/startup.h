#pragma once

#include <QStringList>

// What start-up decided: run the event loop, or end the program with an exit status.
struct StartupOutcome {
    bool runEventLoop = false;
    int exitStatus = 0;
};

// Shows the splash image for the given time without handling events.
void showSplash(int milliseconds);

// Opens the designs named on the command line or asks what to do, giving the person one
// chance to repair the definitions directory in the preferences. arguments excludes the
// program name.
StartupOutcome runStartup(const QStringList& arguments);
