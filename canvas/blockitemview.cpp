// The generator's view of a block on the canvas.
#include "canvas/blockitem.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"

#include <algorithm>

const char* BlockItem::typeName() const {
    return entry_->name().c_str();
}

PortEnd BlockItem::inputSource(int inputPort) const {
    const WireItem* wire = inputWire(inputPort);
    if (!wire) {
        return {};
    }
    const WireEnd source = wire->outputEnd();
    if (!source.block) {
        return {}; // still being drawn
    }
    return {source.block, source.port};
}

void BlockItem::outputTargets(int outputPort, std::vector<PortEnd>& targets) const {
    QList<WireItem*> leaving;
    outputWires(outputPort, leaving);
    std::vector<WireEnd> ends;
    for (const WireItem* wire : leaving) {
        const WireEnd target = wire->inputEnd();
        if (target.block) {
            ends.push_back(target);
        }
    }
    // In the order in which a design file keeps the wires (by the block at the input end, then
    // its port), not the order they were drawn in: targets at equal positions then gather the
    // same way before and after saving and reopening.
    std::stable_sort(ends.begin(), ends.end(), [](const WireEnd& a, const WireEnd& b) {
        return a.block->canvasPlace() != b.block->canvasPlace()
                   ? a.block->canvasPlace() < b.block->canvasPlace()
                   : a.port < b.port;
    });
    for (const WireEnd& end : ends) {
        targets.push_back({end.block, end.port});
    }
}
