// Writing the design on the canvas as a design file.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"
#include "designfile/designfilewriter.h"

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

bool CanvasHandler::saveDesign(const QString& path, const QRect& windowGeometry, QString* error) {
    numberBlocks();
    const std::vector<BlockItem*> blocks = canvas_->blocks();

    DesignFileWriter writer;
    bool written = writer.begin(path);
    SettingsRecord settings;
    settings.definitionFile = definitionFileName_.toLatin1().toStdString();
    settings.outputFile = outputFileName_.toLatin1().toStdString();
    settings.x = windowGeometry.x();
    settings.y = windowGeometry.y();
    settings.width = windowGeometry.width();
    settings.height = windowGeometry.height();
    written = written && writer.write(settings);
    for (const BlockItem* block : blocks) {
        written = written && writer.write(blockRecord(*block));
    }
    // Each wire once, from the block at its input end.
    for (const BlockItem* block : blocks) {
        const int inputs = int(block->entry()->inputNames().size());
        for (int port = 1; port <= inputs && written; ++port) {
            const WireItem* wire = block->inputWire(port);
            if (wire && wire->firstEnd().block && wire->secondEnd().block) {
                written = writer.write(wireRecord(*wire));
            }
        }
    }
    written = written && writer.commit();
    if (!written) {
        // The previous file stays as it was, and so does the modified flag.
        if (error) {
            *error = writer.errorString();
        }
        return false;
    }
    modified_ = false;
    return true;
}
