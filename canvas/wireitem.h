#pragma once

#include <QLine>
#include <QList>
#include <QPoint>
#include <QRect>
#include <vector>

class BlockItem;
class WireDeletedRecord;
class WireGeometryRecord;
class QGraphicsItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsScene;
class QPen;

struct WireEnd {
    BlockItem* block = nullptr;
    int port = 0;
    bool isInput = false;
};

// An orthogonal polyline from an output port to an input port. Segments alternate between
// horizontal and vertical; while the wire is selected, small square handles sit on its bends.
// The wire owns its segments and handles, which live on the canvas as separate items; the
// handles follow every change of the segments.
class WireItem {
public:
    WireItem(int x, int y, bool firstHorizontal, QGraphicsScene* canvas);
    ~WireItem();
    WireItem(const WireItem&) = delete;
    WireItem& operator=(const WireItem&) = delete;

    void setFirstEnd(BlockItem* block, int port, bool isInput);
    void setSecondEnd(BlockItem* block, int port);
    WireEnd firstEnd() const { return {firstBlock_, firstPort_, firstIsInput_}; }
    WireEnd secondEnd() const { return {secondBlock_, secondPort_, !firstIsInput_}; }
    WireEnd outputEnd() const { return firstIsInput_ ? secondEnd() : firstEnd(); }
    WireEnd inputEnd() const { return firstIsInput_ ? firstEnd() : secondEnd(); }
    bool firstHorizontal() const { return firstHorizontal_; }
    bool lastHorizontal() const { return lastHorizontal_; }

    void addSegmentTo(int x, int y);
    void removeLastSegment();
    void restartAt(int x, int y);
    // Re-lays the last two segments so that the wire ends at the point.
    void moveLooseEnd(int x, int y);
    // Re-lays the first two segments so that the wire starts at the point.
    void setStartPoint(int x, int y);
    void moveStartBy(int dx, int dy);
    void moveEndBy(int dx, int dy);
    // Moves an end that is not on its port's stub to the stub's outer end, re-laying the two
    // segments at that end as a block move does.
    void fitEndsToPorts();
    // Follows one of its end blocks that moved by (dx, dy).
    void followBlock(BlockItem* block, int dx, int dy);
    // Sets the moved mark and returns its previous value.
    bool setMoveMark(bool moved);

    void select();
    void deselect();
    bool isSelected() const { return !handles_.empty(); }
    // The selection pen (red differs from blue) shows the bend handles, the normal pen hides them.
    void setPen(const QPen& pen);
    QPen pen() const;
    // Shows or hides the whole wire, handles included, without changing it.
    void setVisible(bool visible);
    int handleAt(QPoint point) const;
    // Drags bend k to the point, shifting the segments beside it sideways.
    void moveHandle(QPoint point, int k);
    bool contains(QPoint point) const;

    void snapshotGeometry();
    // A record that can rebuild the wire after it is deleted.
    WireDeletedRecord* makeDeleteRecord() const;
    // A record of the wire and its last snapshot, to put the snapshot back.
    WireGeometryRecord* makeGeometryRecord();
    const std::vector<QLine>& geometrySnapshot() const { return snapshot_; }

    int segmentCount() const { return int(segments_.size()); }
    QLine segment(int index) const;
    // The start of every segment, then the end of the last one.
    QList<QPoint> points() const;
    int handleCount() const { return int(handles_.size()); }
    QRect handleRect(int index) const;
    QGraphicsScene* canvas() const { return canvas_; }
    // For clearing the whole canvas at once: the wire's items stay for the canvas to delete.
    void leaveItemsOnCanvas();

private:
    bool isHorizontal(int index) const { return (index % 2 == 0) == firstHorizontal_; }
    void setSegment(int index, QPoint start, QPoint end);
    void placeHandle(int index, QPoint bend);
    void moveHandleTo(int index, int x, int y);
    void refreshHandles();

    BlockItem* firstBlock_ = nullptr;
    int firstPort_ = 0;
    bool firstIsInput_ = false;
    BlockItem* secondBlock_ = nullptr;
    int secondPort_ = 0;
    QGraphicsScene* canvas_;
    std::vector<QGraphicsLineItem*> segments_;
    QGraphicsItem* holder_;
    std::vector<QGraphicsRectItem*> handles_;
    std::vector<QGraphicsRectItem*> spareHandles_;
    std::vector<QLine> snapshot_;
    bool moved_ = false;
    bool firstHorizontal_;
    bool lastHorizontal_;
};
