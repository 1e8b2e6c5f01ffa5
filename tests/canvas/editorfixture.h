#pragma once

#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/blockdefinition.h"
#include "definitions/toolboxentry.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Sends one mouse event at a canvas point to the editor's viewport, as a person's hand would
// produce it.
inline void mouse(CanvasHandler& editor, QEvent::Type type, QPoint canvasPoint,
                  Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {}) {
    const QPoint viewPoint = editor.mapFromScene(canvasPoint);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                      ? Qt::MouseButtons()
                                      : button;
    QMouseEvent event(type, viewPoint, editor.viewport()->mapToGlobal(viewPoint),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QCoreApplication::sendEvent(editor.viewport(), &event);
}

inline void click(CanvasHandler& editor, QPoint p, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {}) {
    mouse(editor, QEvent::MouseButtonPress, p, button, modifiers);
    mouse(editor, QEvent::MouseButtonRelease, p, button, modifiers);
}

// Press, two moves and release, with the button of the press.
inline void drag(CanvasHandler& editor, QPoint from, QPoint to,
                 Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton) {
    mouse(editor, QEvent::MouseButtonPress, from, button, modifiers);
    mouse(editor, QEvent::MouseMove, (from + to) / 2);
    mouse(editor, QEvent::MouseMove, to);
    mouse(editor, QEvent::MouseButtonRelease, to, button);
}

// A shown editor with block types made in code. Blocks are placed and wires drawn as the design
// loader would, without undo records; the operations under test make their own.
class EditorFixture {
public:
    using Values = std::vector<std::pair<std::string, std::vector<std::string>>>;

    EditorFixture() {
        editor.resize(640, 480);
        editor.show();
    }

    // A block type with the given ports and edit variables (each with its values).
    ToolboxEntry* type(const char* name, std::vector<std::string> inputs,
                       std::vector<std::string> outputs, const Values& variables = {}) {
        auto definition = std::make_unique<BlockDefinition>(name);
        auto entry = std::make_unique<ToolboxEntry>(name, nullptr, nullptr, definition.get());
        for (const std::string& input : inputs) {
            definition->addInput(input);
            entry->addInput(input.c_str());
        }
        for (const std::string& output : outputs) {
            definition->addOutput(output);
            entry->addOutput(output.c_str());
        }
        for (const auto& [variable, values] : variables) {
            definition->addEditName(variable);
            for (const std::string& value : values) {
                definition->appendValue(variable, DynString(value.c_str()));
            }
        }
        definitions.push_back(std::move(definition));
        ToolboxEntry* result = entry.get();
        editor.addBlockType(std::move(entry));
        return result;
    }

    BlockItem* place(ToolboxEntry* entry, int x, int y) {
        auto* block = new BlockItem(editor.canvas(), editor.selectionList(), entry, editor.nextZ());
        block->moveBy(x, y);
        return block;
    }

    // A finished wire from an output to an input, with a click at each bend.
    WireItem* connect(BlockItem* from, int out, BlockItem* to, int in,
                      std::vector<QPoint> bends = {}) {
        const QPoint start = outerEnd(from, out, false);
        auto* wire = new WireItem(start.x(), start.y(), true, editor.canvas());
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

    void select(std::initializer_list<BlockItem*> blocks) {
        editor.deselectAll();
        for (BlockItem* block : blocks) {
            block->setSelected(true);
        }
    }

    // The definitions outlive the editor, which owns the entries that point at them.
    std::vector<std::unique_ptr<BlockDefinition>> definitions;
    CanvasHandler editor;
};
