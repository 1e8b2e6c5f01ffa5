#include "shapes/shapebounds.h"

#include <algorithm>

void ShapeBounds::begin() {
    rect_ = QRect();
}

void ShapeBounds::segment(QPoint from, QPoint to) {
    widen(from);
    widen(to);
}

void ShapeBounds::port(QPoint from, QPoint to, bool, int) {
    if (includePorts_) {
        widen(from);
        widen(to);
    }
}

// Plain min/max on the edges rather than QRect::united, which would drop the empty rectangle's
// corner at the origin instead of widening it.
void ShapeBounds::widen(QPoint p) {
    rect_.setCoords(std::min(rect_.left(), p.x()), std::min(rect_.top(), p.y()),
                    std::max(rect_.right(), p.x()), std::max(rect_.bottom(), p.y()));
}
