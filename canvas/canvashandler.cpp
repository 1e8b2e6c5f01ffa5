#include "canvas/canvashandler.h"

#include "canvas/blockitem.h"
#include "definitions/toolboxentry.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMenu>

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

CanvasHandler::CanvasHandler(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QGraphicsView(parent), scene_(new QGraphicsScene(0, 0, 800, 600, this)),
      contextMenu_(new QMenu(this)), identity_(takeIdentity()) {
    setObjectName(name ? name : "CanvasHandler");
    setWindowFlags(windowFlags() | flags);
    setScene(scene_);
    // The canvas origin stays at the view's top left corner, as on a drawing sheet.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    contextMenu_->addAction(tr("&Edit vars"), this, &CanvasHandler::objMenu);
}

CanvasHandler::~CanvasHandler() {
    clear();
}

QSize CanvasHandler::canvasSize() const {
    return scene_->sceneRect().size().toSize();
}

void CanvasHandler::resizeCanvas(int width, int height) {
    scene_->setSceneRect(0, 0, width, height);
}

void CanvasHandler::addBlockType(std::unique_ptr<ToolboxEntry> entry) {
    blockTypesByName_.emplace(entry->name(), entry.get());
    blockTypes_.push_back(std::move(entry));
}

ToolboxEntry* CanvasHandler::findBlockType(const std::string& name) const {
    const auto found = blockTypesByName_.find(name);
    return found == blockTypesByName_.end() ? nullptr : found->second;
}

void CanvasHandler::keyPress(int key, Qt::KeyboardModifiers state) {
    // Nothing to act on yet: wires in progress and selections come with the editing tools.
    Q_UNUSED(key);
    Q_UNUSED(state);
}

void CanvasHandler::clear() {
    // Blocks go first: each takes its wires, whose segments are separate canvas items.
    QList<QGraphicsItem*> blocks;
    for (QGraphicsItem* item : scene_->items()) {
        if (item->type() == BlockItem::Type) {
            blocks.append(item);
        }
    }
    qDeleteAll(blocks);
    scene_->clear();
}

void CanvasHandler::objMenu() {
    // The variable editor opens here once blocks can be placed.
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
