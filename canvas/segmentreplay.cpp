#include "canvas/segmentreplay.h"

#include "canvas/blockitem.h"
#include "canvas/pens.h"
#include "canvas/wireitem.h"

namespace {
void layFrom(WireItem& wire, const std::vector<QLine>& segments, int offset) {
    const QPoint shift(offset, offset);
    const QPoint corner = segments[1].p2() + shift;
    wire.moveLooseEnd(corner.x(), corner.y());
    for (std::size_t i = 2; i < segments.size(); ++i) {
        const QPoint end = segments[i].p2() + shift;
        wire.addSegmentTo(end.x(), end.y());
    }
}
} // namespace

WireItem* replaySegments(const std::vector<QLine>& segments, bool firstHorizontal,
                         QGraphicsScene* canvas, int offset) {
    if (segments.size() < 2) {
        return nullptr;
    }
    const QPoint start = segments[0].p1() + QPoint(offset, offset);
    auto* wire = new WireItem(start.x(), start.y(), firstHorizontal, canvas);
    layFrom(*wire, segments, offset);
    return wire;
}

void replaySegments(WireItem& wire, const std::vector<QLine>& segments) {
    if (segments.size() < 2) {
        return;
    }
    const QPoint start = segments[0].p1();
    wire.restartAt(start.x(), start.y());
    layFrom(wire, segments, 0);
}

void restoreWireLook(WireItem& wire, bool showedHandles) {
    const BlockItem* first = wire.firstEnd().block;
    const BlockItem* second = wire.secondEnd().block;
    const bool atSelection = (first && first->isSelected()) || (second && second->isSelected());
    wire.setPen(atSelection ? selectionPen() : normalPen());
    if (showedHandles) {
        wire.select();
    }
}
