// Adding the contents of a design file to the canvas, record by record in file order.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/catalogue.h"
#include "definitions/toolboxentry.h"
#include "designfile/designcoordinate.h"
#include "designfile/designrecordreader.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>
#include <QWidget>
#include <unordered_map>

namespace {

bool hasPort(const BlockItem& block, std::uint32_t number, bool isInput) {
    if (number < 1) {
        return false;
    }
    if (isInput && number > block.entry()->inputNames().size()) {
        return false; // no input slot to record the wire in
    }
    for (const PortItem& port : block.ports()) {
        if (port.isInput == isInput && std::uint32_t(port.number) == number) {
            return true;
        }
    }
    return false;
}
} // namespace

void CanvasHandler::growCanvasTo(int right, int bottom, int margin) {
    QSize size = canvasSize();
    if (size.height() < bottom) {
        size.setHeight(bottom + margin);
        resizeCanvas(size.width(), size.height());
    }
    if (size.width() < right) {
        size.setWidth(right + margin);
        resizeCanvas(size.width(), size.height());
    }
}

BlockItem* CanvasHandler::addLoadedBlock(const BlockRecord& record, ToolboxEntry* entry) {
    const float z = std::isfinite(record.z) ? record.z : 0.0f;
    raiseZ(z);
    auto* block = new BlockItem(canvas_, &selection_, entry, z);
    const int x = designCoordinate(record.x);
    const int y = designCoordinate(record.y);
    block->moveBy(x, y);
    block->show();
    const QRect& bounds = block->outlineBounds();
    growCanvasTo(bounds.right() + x, bounds.bottom() + y, 50);
    for (const BlockVariable& variable : record.variables) {
        setOnlyValue(block->variables(), variable.name, variable.value.c_str());
        if (variable.name == "name") {
            block->setLabel(QString::fromLatin1(variable.value));
        }
    }
    return block;
}

int CanvasHandler::loadDesign(const QString& path, const DesignLoadContext& context) {
    DesignRecordReader reader(path);
    std::unordered_map<std::uint32_t, BlockItem*> blocksByNumber;
    for (;;) {
        switch (reader.next()) {
        case DesignRecordReader::Item::Header:
        case DesignRecordReader::Item::UnknownTag:
            break;
        case DesignRecordReader::Item::EndOfFile:
            return 0;
        case DesignRecordReader::Item::Damaged:
            interaction().warning(
                context.window, tr("Damaged design"),
                tr("The design file %1 is damaged. Only the part before the damage was loaded; "
                   "saving it over the original loses the rest.")
                    .arg(QFileInfo(path).fileName()));
            return 0;
        case DesignRecordReader::Item::Settings: {
            const SettingsRecord& settings = reader.settings();
            const int loaded =
                context.loadDefinitions(QString::fromLatin1(settings.definitionFile));
            if (loaded != 0) {
                return loaded;
            }
            outputFileName_ = QString::fromLatin1(settings.outputFile);
            if (context.window) {
                context.window->setGeometry(settings.x, settings.y,
                                            std::clamp(settings.width, 1, 20000),
                                            std::clamp(settings.height, 1, 20000));
            }
            break;
        }
        case DesignRecordReader::Item::Block: {
            const BlockRecord& record = reader.block();
            ToolboxEntry* entry = findBlockType(record.type);
            if (!entry) {
                return -1;
            }
            blocksByNumber[record.number] = addLoadedBlock(record, entry);
            break;
        }
        case DesignRecordReader::Item::Wire: {
            const WireRecord& record = reader.wire();
            const auto first = blocksByNumber.find(record.firstBlock);
            const auto second = blocksByNumber.find(record.secondBlock);
            if (first == blocksByNumber.end() || second == blocksByNumber.end()) {
                return -1;
            }
            const bool firstIsInput = record.firstEndIsInput();
            BlockItem* inputBlock = firstIsInput ? first->second : second->second;
            const std::uint32_t inputPort = firstIsInput ? record.firstPort : record.secondPort;
            if (!hasPort(*first->second, record.firstPort, firstIsInput) ||
                !hasPort(*second->second, record.secondPort, !firstIsInput) ||
                inputBlock->inputWire(int(inputPort))) {
                return -1;
            }
            addLoadedWire(record, first->second, second->second);
            break;
        }
        }
    }
}

void CanvasHandler::addLoadedWire(const WireRecord& record, BlockItem* first, BlockItem* second) {
    const auto point = [&](std::size_t index) {
        const WirePoint& p = record.points[index];
        return QPoint(designCoordinate(p.x), designCoordinate(p.y));
    };
    const QPoint start = record.points.empty() ? QPoint() : point(0);
    auto* wire = new WireItem(start.x(), start.y(), record.startsHorizontally(), canvas_);
    wire->setFirstEnd(first, int(record.firstPort), record.firstEndIsInput());
    const std::size_t segments = record.points.empty() ? 0 : record.points.size() - 1;
    for (std::size_t k = 1; k <= segments; ++k) {
        const QPoint p = point(k);
        wire->moveLooseEnd(p.x(), p.y());
        if (k + 1 < segments) {
            wire->addSegmentTo(p.x(), p.y());
        }
        growCanvasTo(p.x(), p.y(), 20);
    }
    wire->setSecondEnd(second, int(record.secondPort));
}
