#pragma once

#include "shapes/shapesink.h"

#include <QPolygon>

class QPainter;

// Paints one shape with a painter it does not own: port stubs as lines at once, the outline at the
// end, either filled (odd-even) or as an open polyline.
class ShapePainter : public ShapeSink {
public:
    ShapePainter(QPainter* painter, bool closed) : painter_(painter), closed_(closed) {}

    void segment(QPoint from, QPoint to) override;
    void port(QPoint from, QPoint to, bool isInput, int number) override;
    void end() override;

    const QPolygon& points() const { return points_; }
    bool isClosed() const { return closed_; }

private:
    QPainter* painter_;
    QPolygon points_;
    bool closed_;
};
