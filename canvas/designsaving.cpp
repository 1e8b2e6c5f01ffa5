// Writing the design on the canvas as a design file.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"
#include "designfile/designfile.h"

namespace {
BlockRecord blockRecord(const BlockItem& block) {
    BlockRecord record;
    record.number = std::uint32_t(block.number());
    record.type = block.entry()->name();
    record.x = float(block.pos().x());
    record.y = float(block.pos().y());
    record.z = block.z();
    for (const auto& variable : block.variables()) {
        // Only the first value of a variable is kept in a design file.
        if (const char* value = variable.payload->text(0)) {
            record.variables.push_back({variable.name, value});
        }
    }
    return record;
}

WireRecord wireRecord(const WireItem& wire) {
    WireRecord record;
    const WireEnd first = wire.firstEnd();
    const WireEnd second = wire.secondEnd();
    record.firstBlock = std::uint32_t(first.block->number());
    record.firstPort = std::uint32_t(first.port);
    record.secondBlock = std::uint32_t(second.block->number());
    record.secondPort = std::uint32_t(second.port);
    record.flags = (wire.firstHorizontal() ? WireRecord::StartsHorizontally : 0) |
                   (first.isInput ? WireRecord::FirstEndIsInput : 0);
    for (const QPoint& point : wire.points()) {
        record.points.push_back({point.x(), point.y()});
    }
    return record;
}
} // namespace

DesignRecords CanvasHandler::designRecords(const QRect& windowGeometry) {
    numberBlocks();
    const std::vector<BlockItem*> blocks = canvas_->blocks();

    DesignRecords records;
    SettingsRecord& settings = records.settings.emplace();
    settings.definitionFile = definitionFileName_.toLatin1().toStdString();
    settings.outputFile = outputFileName_.toLatin1().toStdString();
    settings.x = windowGeometry.x();
    settings.y = windowGeometry.y();
    settings.width = windowGeometry.width();
    settings.height = windowGeometry.height();
    records.blocks.reserve(blocks.size());
    for (const BlockItem* block : blocks) {
        records.blocks.push_back(blockRecord(*block));
    }
    // Each wire once, from the block at its input end.
    for (const BlockItem* block : blocks) {
        const int inputs = int(block->entry()->inputNames().size());
        for (int port = 1; port <= inputs; ++port) {
            const WireItem* wire = block->inputWire(port);
            if (wire && wire->firstEnd().block && wire->secondEnd().block) {
                records.wires.push_back(wireRecord(*wire));
            }
        }
    }
    return records;
}

bool CanvasHandler::saveDesign(const QString& path, const QRect& windowGeometry, QString* error) {
    if (!writeDesignFile(path, designRecords(windowGeometry), error)) {
        // The previous file stays as it was, and so does the modified flag.
        return false;
    }
    setModified(false);
    return true;
}
