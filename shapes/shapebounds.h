#pragma once

#include "shapes/shapesink.h"

#include <QRect>

// The bounding rectangle of a shape's outline, and of its port stubs when asked to. The rectangle
// is pixel-inclusive: a shape that is only the origin has width 1 and height 1.
class ShapeBounds : public ShapeSink {
public:
    explicit ShapeBounds(bool includePorts = false) : includePorts_(includePorts) {}

    // Resets to the empty rectangle at the origin (left 0, top 0, right -1, bottom -1).
    void begin() override;
    void segment(QPoint from, QPoint to) override;
    void port(QPoint from, QPoint to, bool isInput, int number) override;

    const QRect& rect() const { return rect_; }
    bool includesPorts() const { return includePorts_; }

private:
    void widen(QPoint p);

    QRect rect_;
    bool includePorts_;
};
