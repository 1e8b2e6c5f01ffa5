#include "canvas/canvashandler.h"

#include "canvas/blockitem.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"

#include <QGraphicsRectItem>
#include <QKeyEvent>
#include <QMenu>
#include <QSet>

namespace {
quint32 takeIdentity() {
    static quint32 next = 0;
    if (++next == 0) {
        ++next;
    }
    return next;
}

bool isWindowKey(int key) {
    return key == Qt::Key_Escape || key == Qt::Key_Left || key == Qt::Key_Up ||
           key == Qt::Key_Right || key == Qt::Key_Down;
}
} // namespace

void CanvasHandler::setModified(bool modified) {
    modified_ = modified;
    emit modifiedFlagSet(modified);
}

CanvasHandler::CanvasHandler(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QGraphicsView(parent), canvas_(new DesignCanvas(0, 0, 800, 600, this)),
      contextMenu_(new QMenu(this)), identity_(takeIdentity()) {
    setObjectName(name ? name : "CanvasHandler");
    setWindowFlags(windowFlags() | flags);
    setScene(canvas_);
    // The canvas origin stays at the view's top left corner, as on a drawing sheet.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    contextMenu_->addAction(tr("&Edit vars"), this, &CanvasHandler::objMenu);

    // Items can go in many ways (a block takes its wires, undo deletes what it made, Escape
    // drops the wire being drawn); neither the editor nor a record may keep a pointer to one
    // that is gone. Records told of the removal by the operation that made them already let go.
    canvas_->onItemDestroyed = [this](const void* item) {
        if (item == wireInProgress_) {
            wireInProgress_ = nullptr;
        }
        if (item == selectedWire_) {
            selectedWire_ = nullptr;
        }
        if (item == gesture_.block || item == gesture_.wire) {
            gesture_ = {};
        }
        if (item == contextBlock_) {
            contextBlock_ = nullptr;
        }
        savedSelection_.removeIf([item](BlockItem* block) { return block == item; });
        notifyRemoved(nullptr, const_cast<void*>(item));
    };
}

CanvasHandler::~CanvasHandler() {
    clear();
    canvas_->onItemDestroyed = nullptr;
    clearUndo();
    clearClipboard();
}

QSize CanvasHandler::canvasSize() const {
    return canvas_->sceneRect().size().toSize();
}

void CanvasHandler::resizeCanvas(int width, int height) {
    canvas_->setSceneRect(0, 0, width, height);
}

void CanvasHandler::addBlockType(std::unique_ptr<ToolboxEntry> entry) {
    blockTypesByName_.emplace(entry->name(), entry.get());
    blockTypes_.push_back(std::move(entry));
}

ToolboxEntry* CanvasHandler::findBlockType(const std::string& name) const {
    const auto found = blockTypesByName_.find(name);
    return found == blockTypesByName_.end() ? nullptr : found->second;
}

void CanvasHandler::selectAll() {
    for (BlockItem* block : canvas_->blocks()) {
        block->setSelected(true);
    }
}

void CanvasHandler::deselectAll() {
    // Each block leaves the list as it is deselected.
    while (!selection_.isEmpty()) {
        selection_.first()->setSelected(false);
    }
    if (selectedWire_) {
        selectedWire_->deselect();
        selectedWire_ = nullptr;
    }
}

QRect CanvasHandler::moveSelection(int dx, int dy) {
    int left = 30000;
    int top = 30000;
    int right = 0;
    int bottom = 0;
    for (BlockItem* block : selection_) {
        block->moveBy(dx, dy);
        const QRectF bounds = block->sceneBoundingRect();
        left = qMin(left, int(bounds.left()));
        top = qMin(top, int(bounds.top()));
        right = qMax(right, int(bounds.right()));
        bottom = qMax(bottom, int(bounds.bottom()));
    }
    gesture_.moveTotal += QPoint(dx, dy);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void CanvasHandler::saveSelection() {
    savedSelection_ = selection_;
    if (wireInProgress_) {
        wireInProgressPen_ = wireInProgress_->pen();
    }
    WireItem* wire = selectedWire_;
    deselectAll();
    selectedWire_ = wire;
}

void CanvasHandler::restoreSelection() {
    for (BlockItem* block : savedSelection_) {
        block->setSelected(true);
    }
    if (selectedWire_) {
        selectedWire_->select();
    }
    // Selecting its block again would give a wire being drawn the selection pen it never had.
    if (wireInProgress_) {
        wireInProgress_->setPen(wireInProgressPen_);
    }
}

void CanvasHandler::hideEditingMarks() {
    saveSelection();
    if (wireInProgress_) {
        wireInProgress_->setVisible(false);
    }
}

void CanvasHandler::showEditingMarks() {
    if (wireInProgress_) {
        wireInProgress_->setVisible(true);
    }
    restoreSelection();
}

void CanvasHandler::clear() {
    // Records of an emptied canvas would point at items that are gone.
    clearUndo();
    delete gesture_.band;
    gesture_ = {};
    selection_.clear();
    // The wires go first but leave their canvas items behind, and then one sweep of the canvas
    // deletes the blocks (each with its parts) and those items: taking items off the canvas
    // one by one costs time in the number of items, which a design of thousands would feel.
    QSet<WireItem*> wires;
    for (BlockItem* block : canvas_->blocks()) {
        for (WireItem* wire : block->wires()) {
            wires.insert(wire);
        }
    }
    if (wireInProgress_) {
        wires.insert(wireInProgress_);
    }
    for (WireItem* wire : wires) {
        wire->leaveItemsOnCanvas();
        delete wire;
    }
    canvas_->clear();
    selectedWire_ = nullptr;
    contextBlock_ = nullptr;
    savedSelection_.clear();
}

void CanvasHandler::numberBlocks() {
    blockCounter_ = 0;
    for (BlockItem* block : canvas_->blocks()) {
        block->setNumber(blockCounter_++);
    }
}

float CanvasHandler::nextZ() {
    const float z = zCounter_;
    zCounter_ += 1.0f;
    return z;
}

void CanvasHandler::raiseZ(float z) {
    if (z > zCounter_) {
        zCounter_ = z + 1.0f;
    }
}

void CanvasHandler::objMenu() {
    if (contextBlock_) {
        editVariables(contextBlock_);
    }
}

void CanvasHandler::keyPressEvent(QKeyEvent* event) {
    // Escape and the arrows belong to the window, which hands them back through keyPress();
    // the view must not scroll with them.
    if (isWindowKey(event->key())) {
        event->ignore();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}
