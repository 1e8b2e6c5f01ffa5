#include "shapes/shapepainter.h"

#include <QPainter>

void ShapePainter::segment(QPoint from, QPoint to) {
    if (points_.isEmpty()) {
        points_.append(from);
    }
    points_.append(to);
}

void ShapePainter::port(QPoint from, QPoint to, bool, int) {
    painter_->drawLine(from, to);
}

void ShapePainter::end() {
    if (closed_) {
        painter_->drawPolygon(points_, Qt::OddEvenFill);
    } else {
        painter_->drawPolyline(points_);
    }
}
