// The editor's undo stack: newest record first, at most 20 kept.

#include "canvas/canvashandler.h"
#include "canvas/undorecords.h"
#include "canvas/wireitem.h"

#include <algorithm>

namespace {
const std::size_t undoDepth = 20;
}

void CanvasHandler::undo() {
    if (undoStack_.empty()) {
        return;
    }
    dropWireInProgress();
    UndoRecord* record = undoStack_.front();
    // It stays listed while it runs: a group's records still waiting inside it must hear of the
    // items that the ones undone before them re-create. No record reacts to its own news.
    record->undo(*this);
    undoStack_.erase(std::find(undoStack_.begin(), undoStack_.end(), record));
    delete record;
    setModified(true);
}

void CanvasHandler::dropWireInProgress() {
    delete wireInProgress_; // forgotten through the canvas's report
}

void CanvasHandler::pushUndo(UndoRecord* record) {
    undoStack_.insert(undoStack_.begin(), record);
    setModified(true);
    trimUndo();
}

void CanvasHandler::trimUndo() {
    while (undoStack_.size() > undoDepth) {
        delete undoStack_.back();
        undoStack_.pop_back();
    }
}

void CanvasHandler::notifyRemoved(UndoRecord* record, void* item) {
    if (openGroup_) {
        openGroup_->onRemoved(record, item);
    }
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
    auto* record = new CreatedRecord(block);
    if (openGroup_) {
        openGroup_->add(record);
    } else {
        pushUndo(record);
    }
}

GroupRecord* CanvasHandler::openGroup() {
    openGroup_ = new GroupRecord;
    return openGroup_;
}

void CanvasHandler::closeGroup(GroupRecord* group) {
    openGroup_ = nullptr;
    if (group->count() > 1) {
        pushUndo(group);
        return;
    }
    if (UndoRecord* single = group->takeSingle()) {
        pushUndo(single);
    }
    delete group;
}

void CanvasHandler::clearUndo() {
    for (UndoRecord* record : undoStack_) {
        delete record;
    }
    undoStack_.clear();
}
