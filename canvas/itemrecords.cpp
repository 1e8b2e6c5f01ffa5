// The undo and clipboard records that blocks and wires make of themselves.

#include "canvas/blockitem.h"
#include "canvas/cliprecords.h"
#include "canvas/undorecords.h"
#include "canvas/wireitem.h"

namespace {
// The first wire that take() accepts, with a deletion record of it.
template <typename Take>
WireDeletedRecord* recordFirstTaken(const QList<WireItem*>& wires, Take take, WireItem** wire) {
    for (WireItem* candidate : wires) {
        if (take(candidate)) {
            if (wire) {
                *wire = candidate;
            }
            return candidate->makeDeleteRecord();
        }
    }
    if (wire) {
        *wire = nullptr;
    }
    return nullptr;
}
} // namespace

BlockDeletedRecord* BlockItem::makeDeleteRecord() const {
    return new BlockDeletedRecord(*this);
}

BlockClipRecord* BlockItem::makeCopyRecord() {
    copyRecord_ = new BlockClipRecord(*this);
    return copyRecord_;
}

WireDeletedRecord* BlockItem::nextWireRecord(QSet<WireItem*>& seen, WireItem** wire) const {
    const auto take = [&seen](WireItem* candidate) {
        const qsizetype before = seen.size();
        seen.insert(candidate);
        return seen.size() != before;
    };
    return recordFirstTaken(wires_, take, wire);
}

void BlockItem::collectWireCopies(std::vector<ClipRecord*>& clipboard) const {
    for (qsizetype i = 0; i < wires_.size(); ++i) {
        WireItem* wire = wires_[i];
        const WireEnd second = wire->secondEnd();
        if (wire->firstEnd().block != this || !second.block || !second.block->isSelected()) {
            continue;
        }
        // A wire from this block to itself stands in the list twice: copy it once.
        if (second.block == this && wires_.indexOf(wire) != i) {
            continue;
        }
        if (copyRecord_ && second.block->copyRecord()) {
            clipboard.push_back(new WireClipRecord(*wire, copyRecord_, second.block->copyRecord()));
        }
    }
}

WireDeletedRecord* WireItem::makeDeleteRecord() const {
    return new WireDeletedRecord(*this);
}

WireGeometryRecord* WireItem::makeGeometryRecord() {
    return new WireGeometryRecord(this, snapshot_);
}
