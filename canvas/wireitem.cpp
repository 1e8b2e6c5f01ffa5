#include "canvas/wireitem.h"

#include "canvas/blockitem.h"
#include "canvas/designcanvas.h"
#include "canvas/pens.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>

namespace {
// Holds a wire's segments and handles, so that the canvas has one top-level item per wire:
// removing top-level items costs time in their number.
class WireHolder : public QGraphicsItem {
public:
    WireHolder() { setFlag(ItemHasNoContents); }
    QRectF boundingRect() const override { return {}; }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}
};

const qreal wireZ = 1.0;
const int handleSize = 5;
const int handleOffset = 2;
const int containsTolerance = 2;
} // namespace

WireItem::WireItem(int x, int y, bool firstHorizontal, QGraphicsScene* canvas)
    : canvas_(canvas), holder_(new WireHolder), firstHorizontal_(firstHorizontal),
      lastHorizontal_(!firstHorizontal) {
    holder_->setZValue(wireZ);
    canvas_->addItem(holder_);
    addSegmentTo(x, y);
    addSegmentTo(x, y);
}

WireItem::~WireItem() {
    if (auto* design = qobject_cast<DesignCanvas*>(canvas_)) {
        design->itemDestroyed(this);
    }
    if (firstBlock_) {
        firstBlock_->detachWire(this, firstPort_, firstIsInput_);
    }
    if (secondBlock_) {
        secondBlock_->detachWire(this, secondPort_, !firstIsInput_);
    }
    delete holder_; // with every segment and handle
}

void WireItem::leaveItemsOnCanvas() {
    holder_ = nullptr;
    segments_.clear();
    handles_.clear();
    spareHandles_.clear();
}

void WireItem::setFirstEnd(BlockItem* block, int port, bool isInput) {
    if (firstBlock_) {
        firstBlock_->detachWire(this, firstPort_, firstIsInput_);
    }
    firstBlock_ = block;
    firstPort_ = port;
    firstIsInput_ = isInput;
    if (block) {
        block->attachWire(this, port, isInput);
    }
}

void WireItem::setSecondEnd(BlockItem* block, int port) {
    if (secondBlock_) {
        secondBlock_->detachWire(this, secondPort_, !firstIsInput_);
    }
    secondBlock_ = block;
    secondPort_ = port;
    if (block) {
        block->attachWire(this, port, !firstIsInput_);
    }
}

QLine WireItem::segment(int index) const {
    return segments_[std::size_t(index)]->line().toLine();
}

QList<QPoint> WireItem::points() const {
    QList<QPoint> result;
    for (QGraphicsLineItem* item : segments_) {
        result.append(item->line().toLine().p1());
    }
    if (!segments_.empty()) {
        result.append(segments_.back()->line().toLine().p2());
    }
    return result;
}

void WireItem::setSegment(int index, QPoint start, QPoint end) {
    segments_[std::size_t(index)]->setLine(QLineF(start, end));
}

void WireItem::addSegmentTo(int x, int y) {
    const QPoint end(x, y);
    const QPoint start = segments_.empty() ? end : segment(segmentCount() - 1).p2();
    auto* item = new QGraphicsLineItem(QLineF(start, end), holder_);
    item->setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine));
    segments_.push_back(item);
    lastHorizontal_ = !lastHorizontal_;
    refreshHandles();
}

void WireItem::removeLastSegment() {
    if (segments_.size() <= 2) {
        return;
    }
    const QPoint end = segment(segmentCount() - 1).p2();
    delete segments_.back();
    segments_.pop_back();
    lastHorizontal_ = !lastHorizontal_;
    moveLooseEnd(end.x(), end.y());
}

void WireItem::restartAt(int x, int y) {
    deselect();
    for (QGraphicsLineItem* item : segments_) {
        delete item;
    }
    segments_.clear();
    lastHorizontal_ = !firstHorizontal_;
    addSegmentTo(x, y);
    addSegmentTo(x, y);
}

void WireItem::moveLooseEnd(int x, int y) {
    const int last = segmentCount() - 1;
    const QPoint a = segment(last).p1();
    const QPoint b = segment(last - 1).p1();
    const QPoint corner = lastHorizontal_ ? QPoint(a.x(), y) : QPoint(x, a.y());
    setSegment(last, corner, QPoint(x, y));
    setSegment(last - 1, b, corner);
    refreshHandles();
}

void WireItem::setStartPoint(int x, int y) {
    const QPoint a = segment(0).p2();
    const QPoint b = segment(1).p2();
    const QPoint corner = firstHorizontal_ ? QPoint(a.x(), y) : QPoint(x, a.y());
    setSegment(0, QPoint(x, y), corner);
    setSegment(1, corner, b);
    refreshHandles();
}

void WireItem::moveStartBy(int dx, int dy) {
    const QPoint start = segment(0).p1();
    setStartPoint(start.x() + dx, start.y() + dy);
}

void WireItem::moveEndBy(int dx, int dy) {
    const QPoint end = segment(segmentCount() - 1).p2();
    moveLooseEnd(end.x() + dx, end.y() + dy);
}

void WireItem::fitEndsToPorts() {
    QPoint start = segment(0).p1();
    if (firstBlock_ && firstBlock_->fitToStubEnd(firstPort_, firstIsInput_, start)) {
        setStartPoint(start.x(), start.y());
    }
    QPoint end = segment(segmentCount() - 1).p2();
    if (secondBlock_ && secondBlock_->fitToStubEnd(secondPort_, !firstIsInput_, end)) {
        moveLooseEnd(end.x(), end.y());
    }
}

void WireItem::followBlock(BlockItem* block, int dx, int dy) {
    const bool wholeSelectionMoves =
        firstBlock_ && secondBlock_ && firstBlock_->isSelected() && secondBlock_->isSelected();
    if (wholeSelectionMoves) {
        // The shift is made once, through the first block.
        if (block == firstBlock_) {
            for (QGraphicsLineItem* item : segments_) {
                item->setLine(item->line().translated(dx, dy));
            }
        }
    } else {
        if (block == firstBlock_) {
            moveStartBy(dx, dy);
        }
        if (block == secondBlock_) {
            moveEndBy(dx, dy);
        }
    }
    refreshHandles();
}

bool WireItem::setMoveMark(bool moved) {
    const bool previous = moved_;
    moved_ = moved;
    return previous;
}

void WireItem::placeHandle(int index, QPoint bend) {
    // Hidden handles are kept for the next selection: making and removing canvas items is
    // what selecting thousands of wires at once would otherwise spend its time on.
    QGraphicsRectItem* handle = nullptr;
    if (spareHandles_.empty()) {
        handle = new QGraphicsRectItem(holder_);
    } else {
        handle = spareHandles_.back();
        spareHandles_.pop_back();
    }
    handle->setRect(bend.x() - handleOffset, bend.y() - handleOffset, handleSize, handleSize);
    handle->show();
    handles_[std::size_t(index)] = handle;
}

void WireItem::select() {
    if (!handles_.empty()) {
        return;
    }
    handles_.assign(segments_.size() - 1, nullptr);
    for (int i = 1; i < segmentCount(); ++i) {
        placeHandle(i - 1, segment(i).p1());
    }
}

void WireItem::deselect() {
    for (QGraphicsRectItem* handle : handles_) {
        handle->hide();
        spareHandles_.push_back(handle);
    }
    handles_.clear();
}

void WireItem::refreshHandles() {
    if (handles_.empty()) {
        return;
    }
    if (handles_.size() + 1 != segments_.size()) {
        deselect();
        select();
        return;
    }
    // Moved rather than made anew: removing canvas items costs time in the number of items on
    // the canvas, and a whole selection of wires moves at once.
    for (int i = 1; i < segmentCount(); ++i) {
        const QPoint bend = segment(i).p1();
        moveHandleTo(i - 1, bend.x(), bend.y());
    }
}

void WireItem::setPen(const QPen& pen) {
    if (pen.color().red() == pen.color().blue()) {
        deselect();
    } else {
        select();
    }
    for (QGraphicsLineItem* item : segments_) {
        item->setPen(pen);
    }
}

QPen WireItem::pen() const {
    return segments_.front()->pen();
}

void WireItem::setVisible(bool visible) {
    holder_->setVisible(visible);
}

QRect WireItem::handleRect(int index) const {
    return handles_[std::size_t(index)]->rect().toRect();
}

int WireItem::handleAt(QPoint point) const {
    for (int i = 0; i < handleCount(); ++i) {
        if (handleRect(i).contains(point)) {
            return i;
        }
    }
    return -1;
}

void WireItem::moveHandleTo(int index, int x, int y) {
    if (index >= 0 && index < handleCount()) {
        handles_[std::size_t(index)]->setRect(x - handleOffset, y - handleOffset, handleSize,
                                              handleSize);
    }
}

void WireItem::moveHandle(QPoint p, int k) {
    const int count = segmentCount();
    const bool kVertical = k >= 0 && k < count && !isHorizontal(k);
    const auto hasHandle = [this](int i) { return i >= 0 && i < handleCount(); };
    const auto handleTopLeft = [this](int i) { return handleRect(i).topLeft(); };

    if (k > 0 && k - 1 < count && hasHandle(k - 1)) {
        const QLine before = segment(k - 1);
        if (kVertical) {
            setSegment(k - 1, before.p1(), QPoint(p.x(), before.p2().y()));
            moveHandleTo(k - 1, p.x(), handleTopLeft(k - 1).y() + handleOffset);
        } else {
            setSegment(k - 1, before.p1(), QPoint(before.p2().x(), p.y()));
            moveHandleTo(k - 1, handleTopLeft(k - 1).x() + handleOffset, p.y());
        }
    } else if (k <= 0) {
        // The first bend only slides along the first segment, which stays on its port.
        const QPoint end = segment(0).p2();
        if (!isHorizontal(0)) {
            p.setX(end.x());
        } else {
            p.setY(end.y());
        }
    }
    if (k == handleCount() - 1 && k >= 0 && k < count) {
        // The last bend only slides along the last segment.
        const QPoint end = segment(k).p2();
        if (kVertical) {
            p.setY(end.y());
        } else {
            p.setX(end.x());
        }
    }
    if (k >= 0 && k < count && hasHandle(k)) {
        const QLine current = segment(k);
        if (kVertical) {
            setSegment(k, QPoint(p.x(), current.p1().y()), p);
        } else {
            setSegment(k, QPoint(current.p1().x(), p.y()), p);
        }
        moveHandleTo(k, p.x(), p.y());
    }
    if (k + 1 >= 0 && k + 1 < count) {
        const QLine after = segment(k + 1);
        if (kVertical) {
            setSegment(k + 1, p, QPoint(after.p2().x(), p.y()));
            if (hasHandle(k + 1)) {
                moveHandleTo(k + 1, handleTopLeft(k + 1).x() + handleOffset, p.y());
            }
        } else {
            setSegment(k + 1, p, QPoint(p.x(), after.p2().y()));
            if (hasHandle(k + 1)) {
                moveHandleTo(k + 1, p.x(), handleTopLeft(k + 1).y() + handleOffset);
            }
        }
    }
    if (k + 2 >= 0 && k + 2 < count) {
        const QLine next = segment(k + 2);
        const QPoint start =
            kVertical ? QPoint(next.p1().x(), p.y()) : QPoint(p.x(), next.p1().y());
        setSegment(k + 2, start, next.p2());
    }
}

bool WireItem::contains(QPoint point) const {
    for (QGraphicsLineItem* item : segments_) {
        const QRect area = QRect(item->line().toLine().p1(), item->line().toLine().p2())
                               .normalized()
                               .adjusted(-containsTolerance, -containsTolerance, containsTolerance,
                                         containsTolerance);
        if (area.contains(point)) {
            return true;
        }
    }
    return false;
}

void WireItem::snapshotGeometry() {
    snapshot_.clear();
    for (QGraphicsLineItem* item : segments_) {
        snapshot_.push_back(item->line().toLine());
    }
}
