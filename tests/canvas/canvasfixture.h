#pragma once

#include "canvas/blockitem.h"
#include "canvas/wireitem.h"
#include "definitions/blockdefinition.h"
#include "definitions/toolboxentry.h"

#include <QGraphicsScene>
#include <memory>
#include <vector>

// A canvas with block types made in code. Blocks are deleted before the canvas, as the editor
// does, since each block takes its wires and their separate segment items with it.
class CanvasFixture {
public:
    ~CanvasFixture() {
        for (BlockItem* block : blocks) {
            delete block;
        }
    }

    // A block type with the given ports; shape null for the default outline.
    ToolboxEntry* type(const char* name, std::vector<std::string> inputs,
                       std::vector<std::string> outputs, const char* shape = nullptr) {
        auto definition = std::make_unique<BlockDefinition>(name);
        auto entry = std::make_unique<ToolboxEntry>(name, shape, nullptr, definition.get());
        for (const std::string& input : inputs) {
            definition->addInput(input);
            entry->addInput(input.c_str());
        }
        for (const std::string& output : outputs) {
            definition->addOutput(output);
            entry->addOutput(output.c_str());
        }
        definitions.push_back(std::move(definition));
        entries.push_back(std::move(entry));
        return entries.back().get();
    }

    BlockItem* place(ToolboxEntry* entry, int x = 0, int y = 0) {
        auto* block = new BlockItem(&scene, &selection, entry, float(blocks.size() + 1));
        block->moveBy(x, y);
        blocks.push_back(block);
        return block;
    }

    void remove(BlockItem* block) {
        std::erase(blocks, block);
        delete block;
    }

    // A finished wire from output port `out` of one block to input port `in` of another, drawn
    // from the output end by clicking at the given points; each click fixes the corner before it.
    WireItem* connect(BlockItem* from, int out, BlockItem* to, int in,
                      std::vector<QPoint> bends = {}) {
        const QPoint start = outerEnd(from, out, false);
        auto* wire = new WireItem(start.x(), start.y(), true, &scene);
        wire->setFirstEnd(from, out, false);
        for (QPoint bend : bends) {
            wire->moveLooseEnd(bend.x(), bend.y());
            wire->addSegmentTo(bend.x(), bend.y());
        }
        const QPoint end = outerEnd(to, in, true);
        wire->moveLooseEnd(end.x(), end.y());
        wire->setSecondEnd(to, in);
        return wire;
    }

    static QPoint outerEnd(BlockItem* block, int number, bool isInput) {
        for (const PortItem& port : block->ports()) {
            if (port.isInput == isInput && port.number == number) {
                return (block->pos() + port.stub->line().p2()).toPoint();
            }
        }
        return {};
    }

    QGraphicsScene scene;
    QList<BlockItem*> selection;
    std::vector<BlockItem*> blocks;
    std::vector<std::unique_ptr<BlockDefinition>> definitions;
    std::vector<std::unique_ptr<ToolboxEntry>> entries;
};
