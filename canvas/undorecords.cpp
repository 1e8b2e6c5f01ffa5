#include "canvas/undorecords.h"

#include "canvas/blockitem.h"
#include "canvas/blockvariables.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/segmentreplay.h"
#include "canvas/wireitem.h"

#include <algorithm>
#include <unordered_set>

UndoRecord::~UndoRecord() = default;
void UndoRecord::onRemoved(UndoRecord*, void*) {}
void UndoRecord::onRestored(UndoRecord*, void*) {}
void UndoRecord::references(RecordReferences&) const {}

// Created items.

CreatedRecord::CreatedRecord(BlockItem* block) : item_(block), isBlock_(true) {}
CreatedRecord::CreatedRecord(WireItem* wire) : item_(wire), isBlock_(false) {}

void CreatedRecord::undo(CanvasHandler&) {
    if (isBlock_) {
        delete static_cast<BlockItem*>(item_);
    } else {
        delete static_cast<WireItem*>(item_);
    }
    item_ = nullptr;
}

void CreatedRecord::onRemoved(UndoRecord* record, void* item) {
    if (!remover_ && item == item_) {
        item_ = nullptr;
        remover_ = record;
    }
}

void CreatedRecord::onRestored(UndoRecord* record, void* item) {
    if (remover_ == record) {
        item_ = item;
        remover_ = nullptr;
    }
}

void CreatedRecord::references(RecordReferences& into) const {
    if (item_) {
        into.items.push_back(item_);
    }
    if (remover_) {
        into.removers.push_back(remover_);
    }
}

// Wire shapes.

WireGeometryRecord::WireGeometryRecord(WireItem* wire, std::vector<QLine> segments)
    : segments_(std::move(segments)), wire_(wire) {}

void WireGeometryRecord::undo(CanvasHandler&) {
    if (!wire_) {
        return;
    }
    const bool showedHandles = wire_->isSelected();
    replaySegments(*wire_, segments_);
    // Arrow keys move blocks without a record: the ends go back to where the ports are now.
    wire_->fitEndsToPorts();
    restoreWireLook(*wire_, showedHandles);
}

void WireGeometryRecord::onRemoved(UndoRecord* record, void* item) {
    if (!remover_ && item == wire_) {
        wire_ = nullptr;
        remover_ = record;
    }
}

void WireGeometryRecord::onRestored(UndoRecord* record, void* item) {
    if (remover_ == record) {
        wire_ = static_cast<WireItem*>(item);
        remover_ = nullptr;
    }
}

void WireGeometryRecord::references(RecordReferences& into) const {
    if (wire_) {
        into.items.push_back(wire_);
    }
    if (remover_) {
        into.removers.push_back(remover_);
    }
}

// Moves.

MoveRecord::MoveRecord(const QList<BlockItem*>& blocks, QPoint offset) : reverse_(-offset) {
    std::unordered_set<const WireItem*> recorded;
    blocks_.reserve(std::size_t(blocks.size()));
    for (BlockItem* block : blocks) {
        slotOf_.emplace(block, blocks_.size());
        blocks_.push_back(block);
        for (WireItem* wire : block->wires()) {
            // A wire still being drawn is no part of the design yet; Escape deletes it unrecorded.
            if (!wire->secondEnd().block) {
                continue;
            }
            if (recorded.insert(wire).second) {
                geometry_.push_back(wire->makeGeometryRecord());
                geometryRouter_.add(geometry_.back());
            }
        }
    }
}

MoveRecord::~MoveRecord() {
    for (WireGeometryRecord* record : geometry_) {
        delete record;
    }
}

void MoveRecord::undo(CanvasHandler& editor) {
    for (BlockItem* block : blocks_) {
        if (block) {
            block->moveBy(reverse_.x(), reverse_.y());
        }
    }
    for (WireGeometryRecord* record : geometry_) {
        record->undo(editor);
    }
}

void MoveRecord::onRemoved(UndoRecord* record, void* item) {
    geometryRouter_.removed(record, item);
    const auto found = slotOf_.find(item);
    if (found != slotOf_.end()) {
        blocks_[found->second] = nullptr;
        if (record) {
            slotAwaiting_[record] = found->second;
        }
        slotOf_.erase(found);
    }
}

void MoveRecord::onRestored(UndoRecord* record, void* item) {
    geometryRouter_.restored(record, item);
    const auto found = slotAwaiting_.find(record);
    if (found != slotAwaiting_.end()) {
        blocks_[found->second] = static_cast<BlockItem*>(item);
        slotOf_.emplace(item, found->second);
        slotAwaiting_.erase(found);
    }
}

void MoveRecord::references(RecordReferences& into) const {
    for (const auto& [block, slot] : slotOf_) {
        into.items.push_back(block);
    }
    for (const auto& [remover, slot] : slotAwaiting_) {
        into.removers.push_back(remover);
    }
    geometryRouter_.references(into);
}

// Groups.

void GroupRecord::add(UndoRecord* record) {
    records_.push_back(record);
    router_.add(record);
}

UndoRecord* GroupRecord::takeSingle() {
    if (records_.size() != 1) {
        return nullptr;
    }
    UndoRecord* record = records_.front();
    router_.remove(record);
    records_.clear();
    return record;
}

GroupRecord::~GroupRecord() {
    for (UndoRecord* record : records_) {
        delete record;
    }
}

void GroupRecord::undo(CanvasHandler& editor) {
    // Newest first, as single Undos would take them. The group is still on the editor's stack,
    // so the records waiting here hear of the items that the ones before them re-create.
    while (!records_.empty()) {
        UndoRecord* record = records_.back();
        records_.pop_back();
        router_.remove(record);
        record->undo(editor);
        delete record;
        editor.setModified(true);
    }
}

void GroupRecord::onRemoved(UndoRecord* record, void* item) {
    router_.removed(record, item);
}

void GroupRecord::onRestored(UndoRecord* record, void* item) {
    router_.restored(record, item);
}

void GroupRecord::references(RecordReferences& into) const {
    router_.references(into);
}

// Deleted wires.

WireDeletedRecord::WireDeletedRecord(const WireItem& wire)
    : firstHorizontal_(wire.firstHorizontal()),
      firstIsInput_(wire.firstEnd().isInput), ends_{{wire.firstEnd().block, wire.firstEnd().port,
                                                     nullptr},
                                                    {wire.secondEnd().block, wire.secondEnd().port,
                                                     nullptr}} {
    segments_.reserve(std::size_t(wire.segmentCount()));
    for (int i = 0; i < wire.segmentCount(); ++i) {
        segments_.push_back(wire.segment(i));
    }
}

void WireDeletedRecord::undo(CanvasHandler& editor) {
    // Without both blocks there is nothing to attach it to.
    if (!ends_[0].block || !ends_[1].block) {
        return;
    }
    WireItem* wire = replaySegments(segments_, firstHorizontal_, editor.canvas());
    if (!wire) {
        return;
    }
    wire->setFirstEnd(ends_[0].block, ends_[0].port, firstIsInput_);
    wire->setSecondEnd(ends_[1].block, ends_[1].port);
    wire->fitEndsToPorts();
    restoreWireLook(*wire, false);
    editor.notifyRestored(this, wire);
}

void WireDeletedRecord::onRemoved(UndoRecord* record, void* item) {
    for (End& end : ends_) {
        if (!end.remover && item == end.block) {
            end.block = nullptr;
            end.remover = record;
        }
    }
}

void WireDeletedRecord::onRestored(UndoRecord* record, void* item) {
    for (End& end : ends_) {
        if (end.remover == record) {
            end.block = static_cast<BlockItem*>(item);
            end.remover = nullptr;
        }
    }
}

void WireDeletedRecord::references(RecordReferences& into) const {
    for (const End& end : ends_) {
        if (end.block) {
            into.items.push_back(end.block);
        }
        if (end.remover) {
            into.removers.push_back(end.remover);
        }
    }
}

// Deleted blocks.

BlockDeletedRecord::BlockDeletedRecord(const BlockItem& block)
    : entry_(block.entry()), x_(block.x()), y_(block.y()), z_(block.z()),
      place_(block.canvasPlace()), variables_(copyVariables(block.variables())) {}

void BlockDeletedRecord::undo(CanvasHandler& editor) {
    auto* block = new BlockItem(editor.canvas(), editor.selectionList(), entry_, float(z_));
    block->takeCanvasPlace(place_);
    block->moveBy(x_, y_);
    block->show();
    editor.notifyRestored(this, block);
    giveVariables(*block, variables_);
}

// Variable edits.

VariablesRecord::VariablesRecord(BlockItem* block)
    : block_(block), variables_(copyVariables(block->variables())) {}

void VariablesRecord::undo(CanvasHandler&) {
    if (block_) {
        giveVariables(*block_, variables_);
    }
}

void VariablesRecord::onRemoved(UndoRecord* record, void* item) {
    if (block_ && item == block_) {
        block_ = nullptr;
        remover_ = record;
    }
}

void VariablesRecord::onRestored(UndoRecord* record, void* item) {
    if (remover_ == record) {
        block_ = static_cast<BlockItem*>(item);
        remover_ = nullptr;
    }
}

void VariablesRecord::references(RecordReferences& into) const {
    if (block_) {
        into.items.push_back(block_);
    }
    if (remover_) {
        into.removers.push_back(remover_);
    }
}
