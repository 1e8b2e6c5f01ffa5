#include "canvas/pens.h"

const QPen& normalPen() {
    static const QPen pen(QColor(0, 0, 0), 1, Qt::SolidLine);
    return pen;
}

const QPen& selectionPen() {
    static const QPen pen(QColor(150, 150, 200), 1, Qt::SolidLine);
    return pen;
}

const QBrush& blockFill() {
    static const QBrush brush(QColor(200, 200, 200), Qt::SolidPattern);
    return brush;
}
