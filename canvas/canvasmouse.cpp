// The editor's mouse handling: selecting, dragging blocks, drawing wires, dragging bends,
// rubber-band selection and panning.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/undorecords.h"
#include "canvas/wireitem.h"
#include "interaction/userinteraction.h"

#include <QGraphicsRectItem>
#include <QMouseEvent>
#include <QPainterPath>
#include <QScrollBar>
#include <QSet>

namespace {
const int scrollStep = 30;
} // namespace

QPoint CanvasHandler::canvasPoint(const QPoint& viewPosition) const {
    return mapToScene(viewPosition).toPoint();
}

BlockItem* CanvasHandler::blockAt(const QPoint& p) const {
    for (QGraphicsItem* item : canvas_->items(QPointF(p))) {
        if (item->type() == BlockItem::Type) {
            return static_cast<BlockItem*>(item);
        }
    }
    return nullptr;
}

BlockItem* CanvasHandler::portAt(QPoint& p, int& number, bool& horizontal, bool& isInput,
                                 bool anyStub) const {
    BlockItem* found = nullptr;
    canvas_->forEachBlock([&](BlockItem* block) {
        QPoint point = p;
        const int n = block->portAt(point, horizontal, isInput);
        if (anyStub ? n >= 0 : n > 0) {
            number = n;
            p = point;
            found = block;
            return false;
        }
        return true;
    });
    return found;
}

void CanvasHandler::deleteWireWithUndo(WireItem* wire) {
    UndoRecord* record = wire->makeDeleteRecord();
    pushUndo(record);
    notifyRemoved(record, wire);
    delete wire;
}

void CanvasHandler::replaceInputWire(BlockItem* block, int port) {
    if (WireItem* old = block->inputWire(port)) {
        deleteWireWithUndo(old);
    }
}

void CanvasHandler::mousePressEvent(QMouseEvent* event) {
    const QPoint p = canvasPoint(event->position().toPoint());
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    // A press with another button still held ends the gesture of the first.
    endGesture();
    gesture_.anchor = p;

    if (BlockItem* block = blockAt(p)) {
        if (event->button() == Qt::RightButton) {
            contextBlock_ = block;
            interaction().runMenu(*contextMenu_, event->globalPosition().toPoint());
            return;
        }
        gesture_.kind = Gesture::Kind::DragBlocks;
        gesture_.block = block;
        if (!block->isSelected() && !shift) {
            deselectAll();
        }
        block->setSelected(shift ? !block->isSelected() : true);
        for (BlockItem* selected : selection_) {
            selected->snapshotWireGeometry();
        }
        return;
    }

    QPoint q = p;
    int number = 0;
    bool horizontal = false;
    bool isInput = false;
    if (BlockItem* block = portAt(q, number, horizontal, isInput, false)) {
        if (!wireInProgress_) {
            if (isInput) {
                replaceInputWire(block, number);
            }
            wireInProgress_ = new WireItem(q.x(), q.y(), horizontal, canvas_);
            wireInProgress_->setFirstEnd(block, number, isInput);
            startIsInput_ = isInput;
        } else if (isInput != startIsInput_) {
            if (isInput) {
                replaceInputWire(block, number);
            }
            WireItem* wire = wireInProgress_;
            wire->moveLooseEnd(q.x(), q.y());
            wire->setSecondEnd(block, number);
            wireInProgress_ = nullptr;
            pushUndo(new CreatedRecord(wire));
        }
        return;
    }

    bool found = false;
    canvas_->forEachBlock([&](BlockItem* block) {
        int index = 0;
        if (WireItem* wire = block->handleAt(p, index)) {
            gesture_.kind = Gesture::Kind::DragBend;
            gesture_.wire = wire;
            gesture_.handle = index;
            wire->snapshotGeometry();
            found = true;
            return false;
        }
        if (!wireInProgress_) {
            if (WireItem* wire = block->wireAt(p)) {
                deselectAll();
                wire->select();
                selectedWire_ = wire;
                found = true;
                return false;
            }
        }
        return true;
    });
    if (!found) {
        pressOnEmptyCanvas(event, p);
    }
}

void CanvasHandler::pressOnEmptyCanvas(QMouseEvent* event, const QPoint& p) {
    if (selectedWire_) {
        selectedWire_->deselect();
        selectedWire_ = nullptr;
    }
    if (event->button() == Qt::LeftButton) {
        if (!(event->modifiers() & Qt::ShiftModifier)) {
            deselectAll();
        }
        gesture_.kind = Gesture::Kind::RubberBand;
        gesture_.band = new QGraphicsRectItem(p.x(), p.y(), 0, 0);
        gesture_.band->setPen(QPen(QColor(180, 180, 220), 0, Qt::SolidLine));
        gesture_.band->setBrush(QBrush(QColor(220, 220, 255), Qt::SolidPattern));
        gesture_.band->setZValue(0);
        canvas_->addItem(gesture_.band);
        savedSelection_ = selection_;
    }
    if (event->button() != Qt::RightButton) {
        if (wireInProgress_) {
            // The pointer may have jumped here without a move: the bend is fixed where the
            // wire reaches the click.
            wireInProgress_->moveLooseEnd(p.x(), p.y());
            wireInProgress_->addSegmentTo(p.x(), p.y());
        }
    } else {
        gesture_.kind = Gesture::Kind::Pan;
        gesture_.anchor = event->globalPosition().toPoint();
    }
}

void CanvasHandler::selectBlocksInBand(const QRectF& band) {
    // The selection becomes the one saved at the press plus every block the band meets, in
    // that order. Only blocks whose state changes are touched: re-selecting everything on each
    // move would cost time in the size of the selection.
    QList<BlockItem*> target = savedSelection_;
    QSet<BlockItem*> wanted(savedSelection_.begin(), savedSelection_.end());
    // Blocks are tested directly: a canvas query would also gather, and sort, every label,
    // edge and wire segment in the band.
    QPainterPath bandPath;
    bandPath.addRect(band);
    canvas_->forEachBlock([&](BlockItem* block) {
        if (block->sceneBoundingRect().intersects(band) && !wanted.contains(block) &&
            block->collidesWithPath(block->mapFromScene(bandPath), Qt::IntersectsItemShape)) {
            wanted.insert(block);
            target.append(block);
        }
        return true;
    });
    if (selectedWire_) {
        selectedWire_->deselect();
        selectedWire_ = nullptr;
    }
    const QList<BlockItem*> before = selection_;
    for (BlockItem* block : before) {
        if (!wanted.contains(block)) {
            block->setSelected(false);
        }
    }
    for (BlockItem* block : target) {
        block->setSelected(true);
    }
    selection_ = target;
}

void CanvasHandler::mouseMoveEvent(QMouseEvent* event) {
    const QPoint eventPoint = canvasPoint(event->position().toPoint());
    QPoint p = eventPoint;
    bool changed = false;

    const QPoint anchor = gesture_.anchor;
    if (gesture_.kind == Gesture::Kind::RubberBand) {
        gesture_.band->setRect(QRectF(anchor, QSizeF(p.x() - anchor.x(), p.y() - anchor.y())));
        selectBlocksInBand(QRectF(QPointF(anchor), QPointF(p)).normalized());
        changed = true;
    }
    if (gesture_.kind == Gesture::Kind::DragBend) {
        gesture_.wire->moveHandle(p, gesture_.handle);
        changed = true;
    }
    if (wireInProgress_) {
        QPoint target = p;
        // Snapping takes the first stub of the other kind, numbered or not.
        canvas_->forEachBlock([&](BlockItem* block) {
            QPoint point = p;
            bool horizontal = false;
            bool isInput = false;
            if (block->portAt(point, horizontal, isInput) >= 0 && isInput != startIsInput_) {
                target = point;
                return false;
            }
            return true;
        });
        wireInProgress_->moveLooseEnd(target.x(), target.y());
        changed = true;
    }

    int right = eventPoint.x();
    int bottom = eventPoint.y();
    if (gesture_.kind == Gesture::Kind::DragBlocks) {
        QRect box = moveSelection(p.x() - anchor.x(), p.y() - anchor.y());
        gesture_.anchor = p;
        if (box.left() < 0 || box.top() < 0) {
            // The selection stops at the canvas's left and top edges.
            if (box.left() < 0) {
                p.setX(p.x() - box.left());
            }
            if (box.top() < 0) {
                p.setY(p.y() - box.top());
            }
            box = moveSelection(p.x() - gesture_.anchor.x(), p.y() - gesture_.anchor.y());
            gesture_.anchor = p;
        }
        right = box.right();
        bottom = box.bottom();
        changed = true;
    }

    if (changed) {
        growAndScroll(right, bottom, eventPoint, true);
    }
    if (gesture_.kind == Gesture::Kind::Pan) {
        const QPoint global = event->globalPosition().toPoint();
        const QPoint d = gesture_.anchor - global;
        gesture_.anchor = global;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + d.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() + d.y());
    }
    QGraphicsView::mouseMoveEvent(event);
}

void CanvasHandler::growAndScroll(int right, int bottom, const QPoint& e, bool scroll) {
    const QPoint origin = canvasPoint(QPoint(0, 0));
    const int cx = origin.x();
    const int cy = origin.y();
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const QSize canvas = canvasSize();
    int growWidth = 0;
    int growHeight = 0;
    bool grow = false;
    int sx = 0;
    int sy = 0;
    bool scrolls = false;
    if (right > cx + vw) {
        grow = true;
        if (right > canvas.width()) {
            growWidth = right - canvas.width();
        }
    }
    if (scroll && e.x() > cx + vw) {
        scrolls = true;
        sx = scrollStep;
    }
    if (bottom > cy + vh) {
        grow = true;
        if (bottom > canvas.height()) {
            growHeight = bottom - canvas.height();
        }
    }
    if (scroll && e.y() > cy + vh) {
        scrolls = true;
        sy = scrollStep;
    }
    if (scroll && e.x() < cx) {
        scrolls = true;
        sx = -scrollStep;
    }
    if (scroll && e.y() < cy) {
        scrolls = true;
        sy = -scrollStep;
    }
    if (grow && (growWidth != 0 || growHeight != 0)) {
        resizeCanvas(canvas.width() + growWidth, canvas.height() + growHeight);
    }
    if (scrolls) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + sx);
        verticalScrollBar()->setValue(verticalScrollBar()->value() + sy);
    }
}

void CanvasHandler::mouseReleaseEvent(QMouseEvent* event) {
    endGesture();
    QGraphicsView::mouseReleaseEvent(event);
}

void CanvasHandler::endGesture() {
    const Gesture gesture = gesture_;
    gesture_ = {};
    delete gesture.band; // the selection it made stays
    if (gesture.kind == Gesture::Kind::DragBlocks && !gesture.moveTotal.isNull()) {
        pushUndo(new MoveRecord(selection_, gesture.moveTotal));
    }
    // The bends of a wire being drawn are no part of the design yet.
    if (gesture.kind == Gesture::Kind::DragBend && gesture.wire->secondEnd().block) {
        pushUndo(gesture.wire->makeGeometryRecord());
    }
}

void CanvasHandler::mouseDoubleClickEvent(QMouseEvent* event) {
    if (BlockItem* block = blockAt(canvasPoint(event->position().toPoint()))) {
        editVariables(block);
    }
}
