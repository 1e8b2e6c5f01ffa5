#include "app/mytoolbutton.h"

#include "canvas/blocktypedrag.h"

#include <QDrag>
#include <QMimeData>

MyToolButton::MyToolButton(QWidget* page, quint32 editorIdentity)
    : QToolButton(page), editorIdentity_(editorIdentity) {
    setCheckable(false);
    // The drag starts on the press itself, without waiting for the mouse to move.
    connect(this, &QToolButton::pressed, this, &MyToolButton::startDrag);
}

void MyToolButton::setPixmap(const QPixmap& pixmap) {
    pixmap_ = pixmap;
    setIcon(QIcon(pixmap));
    setIconSize(pixmap.size());
}

QMimeData* MyToolButton::makeDragData() const {
    auto* data = new QMimeData;
    data->setData(blockTypeMimeType, blockTypePayload(editorIdentity_, text()));
    return data;
}

void MyToolButton::startDrag() {
    auto* drag = new QDrag(this);
    drag->setMimeData(makeDragData());
    if (!pixmap_.isNull()) {
        drag->setPixmap(pixmap_);
        drag->setHotSpot(QPoint(pixmap_.width() / 2, pixmap_.height() / 2));
    }
    drag->exec();
    // The press started a drag, so the button never sees its release.
    setDown(false);
}
