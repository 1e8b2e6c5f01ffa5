// Drops from the window's own toolbox: a block of the named type, centred on the drop point.

#include "canvas/blockitem.h"
#include "canvas/blocktypedrag.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {
bool isOwnPayload(const QMimeData* data, quint32 identity) {
    return data && data->hasFormat(blockTypeMimeType) &&
           payloadIsFor(data->data(blockTypeMimeType), identity);
}
} // namespace

void CanvasHandler::dragEnterEvent(QDragEnterEvent* event) {
    if (isOwnPayload(event->mimeData(), identity_)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CanvasHandler::dragMoveEvent(QDragMoveEvent* event) {
    // The view's own handling would ask the canvas items, which take no drops.
    if (isOwnPayload(event->mimeData(), identity_)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CanvasHandler::dropEvent(QDropEvent* event) {
    if (!isOwnPayload(event->mimeData(), identity_)) {
        event->ignore();
        return;
    }
    const QByteArray name = payloadTypeName(event->mimeData()->data(blockTypeMimeType));
    ToolboxEntry* entry = findBlockType(std::string(name.constData(), std::size_t(name.size())));
    if (!entry) {
        event->ignore();
        return;
    }
    auto* block = new BlockItem(canvas_, &selection_, entry, nextZ());
    const QPoint p = canvasPoint(event->position().toPoint());
    const QRect& r = block->outlineBounds();
    block->moveBy(p.x() - (r.left() + r.width() / 2), p.y() - (r.top() + r.height() / 2));
    block->show();
    recordCreation(block);
    event->acceptProposedAction();
}
