// The editor's undo stack: newest record first, at most 20 kept after each editing operation.

#include "canvas/canvashandler.h"
#include "canvas/undorecords.h"

#include <algorithm>

namespace {
const std::size_t undoDepth = 20;
}

void CanvasHandler::undo() {
    if (undoStack_.empty()) {
        return;
    }
    UndoRecord* record = undoStack_.front();
    // It stays listed while it runs: a group's records still waiting inside it must hear of the
    // items that the ones undone before them re-create. No record reacts to its own news.
    record->undo(*this);
    undoStack_.erase(std::find(undoStack_.begin(), undoStack_.end(), record));
    delete record;
    setModified(true);
}

void CanvasHandler::pushUndo(UndoRecord* record) {
    undoStack_.insert(undoStack_.begin(), record);
}

void CanvasHandler::trimUndo() {
    while (undoStack_.size() > undoDepth) {
        delete undoStack_.back();
        undoStack_.pop_back();
    }
}

void CanvasHandler::notifyRemoved(UndoRecord* record, void* item) {
    for (UndoRecord* listener : undoStack_) {
        listener->onRemoved(record, item);
    }
}

void CanvasHandler::notifyRestored(UndoRecord* record, void* item) {
    for (UndoRecord* listener : undoStack_) {
        listener->onRestored(record, item);
    }
}

void CanvasHandler::recordCreation(BlockItem* block) {
    pushUndo(new CreatedRecord(block));
    setModified(true);
}

GroupRecord* CanvasHandler::openGroup() {
    auto* group = new GroupRecord;
    pushUndo(group);
    return group;
}

void CanvasHandler::closeGroup(GroupRecord* group) {
    const auto at = std::find(undoStack_.begin(), undoStack_.end(), group);
    if (at == undoStack_.end() || group->count() > 1) {
        return;
    }
    if (UndoRecord* single = group->takeSingle()) {
        *at = single;
    } else {
        undoStack_.erase(at);
    }
    delete group;
}

void CanvasHandler::clearUndo() {
    for (UndoRecord* record : undoStack_) {
        delete record;
    }
    undoStack_.clear();
}
