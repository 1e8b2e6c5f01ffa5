// The editor's keys and deletion: arrow moves, Escape, and Delete with its undo records.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/undorecords.h"
#include "canvas/wireitem.h"

#include <QSet>

void CanvasHandler::keyPress(int key, Qt::KeyboardModifiers state) {
    const int step = (state & Qt::ShiftModifier) ? 10 : 1;
    int dx = 0;
    int dy = 0;
    switch (key) {
    case Qt::Key_Escape:
        dropWireInProgress();
        return;
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    default:
        return;
    }
    if (selection_.isEmpty()) {
        return;
    }
    const QRect box = moveSelection(dx, dy);
    if (box.left() < 0 || box.top() < 0) {
        // Back to the edge it passed; the step along the other axis is already made.
        moveSelection(box.left() < 0 ? -box.left() : 0, box.top() < 0 ? -box.top() : 0);
    } else {
        growAndScroll(box.right(), box.bottom(), QPoint(), false);
    }
    // Key moves make no undo record, but the design has changed: closing must offer to save.
    setModified(true);
}

void CanvasHandler::deleteSelected() {
    if (wireInProgress_) {
        wireInProgress_->removeLastSegment();
        return;
    }
    if (selectedWire_) {
        WireItem* wire = selectedWire_;
        selectedWire_ = nullptr;
        deleteWireWithUndo(wire);
    }
    // The records of one deletion gather in an open group, so that one Undo restores the whole
    // deletion; a single record stays on its own.
    GroupRecord* group = openGroup();
    QSet<WireItem*> seen;
    for (BlockItem* block : selection_) {
        WireItem* wire = nullptr;
        while (UndoRecord* record = block->nextWireRecord(seen, &wire)) {
            notifyRemoved(record, wire);
            group->add(record);
        }
    }
    // The blocks leave the selection list before they go, each in constant time.
    const QList<BlockItem*> blocks = selection_;
    selection_.clear();
    for (BlockItem* block : blocks) {
        UndoRecord* record = block->makeDeleteRecord();
        group->add(record);
        notifyRemoved(record, block);
        delete block;
    }
    closeGroup(group);
}
