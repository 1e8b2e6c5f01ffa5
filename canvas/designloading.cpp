// Adding the contents of a design file to the canvas, record by record in file order, as the
// design reader hands them over.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/catalogue.h"
#include "definitions/toolboxentry.h"

#include <QWidget>

// What differs on the canvas: blocks and wires become items, the settings reach the window.
class CanvasHandler::DesignLoader : public DesignReceiver {
public:
    DesignLoader(CanvasHandler& editor, const DesignLoadContext& context)
        : editor_(editor), context_(context) {}

    QString loadDefinitions(const QString& path) override { return context_.loadDefinitions(path); }
    ToolboxEntry* blockType(const std::string& name) override {
        return editor_.findBlockType(name);
    }
    void settings(const SettingsRecord& record) override {
        editor_.outputFileName_ = QString::fromLatin1(record.outputFile);
        if (context_.window) {
            context_.window->setGeometry(record.x, record.y, std::clamp(record.width, 1, 20000),
                                         std::clamp(record.height, 1, 20000));
        }
    }
    void block(const BlockRecord& record, ToolboxEntry& type) override {
        blocks_.push_back(editor_.addLoadedBlock(record, &type));
    }
    void wire(const WireRecord& record, std::size_t firstBlock, std::size_t secondBlock) override {
        editor_.addLoadedWire(record, blocks_[firstBlock], blocks_[secondBlock]);
    }

private:
    CanvasHandler& editor_;
    const DesignLoadContext& context_;
    std::vector<BlockItem*> blocks_; // in the order handed over
};

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
    raiseZ(record.z);
    auto* block = new BlockItem(canvas_, &selection_, entry, record.z);
    block->moveBy(record.x, record.y);
    block->show();
    const QRect& bounds = block->outlineBounds();
    growCanvasTo(int(bounds.right() + record.x), int(bounds.bottom() + record.y), 50);
    for (const BlockVariable& variable : record.variables) {
        setOnlyValue(block->variables(), variable.name, variable.value.c_str());
        if (variable.name == "name") {
            block->setLabel(QString::fromLatin1(variable.value));
        }
    }
    return block;
}

DesignVerdict CanvasHandler::loadDesign(const QString& path, const DesignLoadContext& context) {
    DesignLoader loader(*this, context);
    return readDesign(path, context.definitionsDirectory, loader);
}

void CanvasHandler::addLoadedWire(const WireRecord& record, BlockItem* first, BlockItem* second) {
    const auto point = [&](std::size_t index) {
        const WirePoint& p = record.points[index];
        return QPoint(p.x, p.y);
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
