#pragma once

#include <QLine>
#include <vector>

class QGraphicsScene;
class WireItem;

// Saved segments describe an orthogonal polyline, so a wire is rebuilt from a few of their
// points: the start of the first, the end of the second and the ends of the later ones.

// A new wire along the segments, every point moved by (offset, offset); nullptr for fewer than
// two segments.
WireItem* replaySegments(const std::vector<QLine>& segments, bool firstHorizontal,
                         QGraphicsScene* canvas, int offset = 0);
// Lays an existing wire along the segments; fewer than two leave it as it is.
void replaySegments(WireItem& wire, const std::vector<QLine>& segments);
// New segments are black: a wire at a selected block takes the selection pen again, and a wire
// that showed its handles shows them again.
void restoreWireLook(WireItem& wire, bool showedHandles);
