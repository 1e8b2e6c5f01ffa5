// The editor's own clipboard: records of the selected blocks and of the wires between them.

#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/cliprecords.h"
#include "canvas/undorecords.h"

#include <algorithm>

void CanvasHandler::copy() {
    clipMinimumZ_ = 0;
    clipMaximumZ_ = 0;
    clearClipboard();
    bool first = true;
    for (BlockItem* block : selection_) {
        clipboard_.push_back(block->makeCopyRecord());
        const float z = block->z();
        clipMinimumZ_ = first ? z : std::min(clipMinimumZ_, z);
        clipMaximumZ_ = first ? z : std::max(clipMaximumZ_, z);
        first = false;
    }
    // Wires after all blocks: each needs the records of both its blocks.
    for (BlockItem* block : selection_) {
        block->collectWireCopies(clipboard_);
    }
}

void CanvasHandler::cut() {
    copy();
    deleteSelected();
}

void CanvasHandler::paste() {
    deselectAll();
    for (ClipRecord* record : clipboard_) {
        record->paste(*this, clipMinimumZ_);
    }
    // The selection is now exactly the pasted blocks, in paste order; one Undo takes them all.
    bool first = true;
    clipMaximumZ_ = 0;
    GroupRecord* group = openGroup();
    for (BlockItem* block : selection_) {
        if (first || block->z() > clipMaximumZ_) {
            clipMaximumZ_ = block->z();
            zCounter_ = clipMaximumZ_ + 1.0f;
        }
        recordCreation(block);
        first = false;
    }
    closeGroup(group);
}

void CanvasHandler::clearClipboard() {
    for (ClipRecord* record : clipboard_) {
        delete record;
    }
    clipboard_.clear();
}
