#include "app/windowlist.h"

#include "app/mainui.h"

namespace {
const int firstPosition = 40;
const int positionStep = 20;
const int lastX = 240;
const int lastY = 140;

QPoint nextPosition(firstPosition, firstPosition);
} // namespace

QList<MainUI*>& openWindows() {
    static QList<MainUI*> windows;
    return windows;
}

MainUI* findWindow(const QString& absolutePath) {
    for (MainUI* window : openWindows()) {
        if (window->designPath() == absolutePath) {
            return window;
        }
    }
    return nullptr;
}

QPoint takeNextWindowPosition() {
    const QPoint taken = nextPosition;
    int x = taken.x() + positionStep;
    int y = taken.y() + positionStep;
    if (x > lastX) {
        x = firstPosition;
    }
    if (y > lastY) {
        y = firstPosition;
    }
    nextPosition = QPoint(x, y);
    return taken;
}

void resetWindowPositions() {
    nextPosition = QPoint(firstPosition, firstPosition);
}
