#include "canvas/cliprecords.h"

#include "canvas/blockitem.h"
#include "canvas/blockvariables.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/pens.h"
#include "canvas/segmentreplay.h"
#include "canvas/wireitem.h"

namespace {
const int pasteStep = 5;
}

ClipRecord::~ClipRecord() = default;

BlockClipRecord::BlockClipRecord(const BlockItem& block)
    : entry_(block.entry()), x_(block.x()), y_(block.y()), z_(block.z()),
      variables_(copyVariables(block.variables())) {}

void BlockClipRecord::paste(CanvasHandler& editor, float minimumZ) {
    // Depths keep their distances above everything on the canvas.
    const float z = float(editor.currentZ() + (z_ - minimumZ));
    auto* block = new BlockItem(editor.canvas(), editor.selectionList(), entry_, z);
    x_ += pasteStep;
    y_ += pasteStep;
    block->moveBy(x_, y_);
    block->show();
    block->setSelected(true);
    giveVariables(*block, variables_);
    pasted_ = block;
}

WireClipRecord::WireClipRecord(const WireItem& wire, BlockClipRecord* first,
                               BlockClipRecord* second)
    : firstHorizontal_(wire.firstHorizontal()), first_(first), firstPort_(wire.firstEnd().port),
      firstIsInput_(wire.firstEnd().isInput), second_(second), secondPort_(wire.secondEnd().port) {
    segments_.reserve(std::size_t(wire.segmentCount()));
    for (int i = 0; i < wire.segmentCount(); ++i) {
        segments_.push_back(wire.segment(i));
    }
}

void WireClipRecord::paste(CanvasHandler& editor, float) {
    BlockItem* firstBlock = first_->pastedBlock();
    BlockItem* secondBlock = second_->pastedBlock();
    if (!firstBlock || !secondBlock) {
        return;
    }
    WireItem* wire = replaySegments(segments_, firstHorizontal_, editor.canvas(), offset_);
    if (!wire) {
        return;
    }
    wire->setFirstEnd(firstBlock, firstPort_, firstIsInput_);
    wire->setSecondEnd(secondBlock, secondPort_);
    wire->setPen(selectionPen());
    offset_ += pasteStep;
}
