#pragma once

#include <QList>
#include <QPoint>
#include <QString>

class MainUI;

// The open main windows, in the order they were created.
QList<MainUI*>& openWindows();

// The first open window whose design path equals absolutePath exactly, or nullptr.
MainUI* findWindow(const QString& absolutePath);

// Staggered placement of new windows: each takes the next position, and each coordinate wraps
// back to 40 on its own once it passes its limit.
QPoint takeNextWindowPosition();
void resetWindowPositions();
