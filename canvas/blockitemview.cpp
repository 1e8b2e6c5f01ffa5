// The generator's view of a block on the canvas.
#include "canvas/blockitem.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"

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
    for (const WireItem* wire : leaving) {
        const WireEnd target = wire->inputEnd();
        if (target.block) {
            targets.push_back({target.block, target.port});
        }
    }
}
