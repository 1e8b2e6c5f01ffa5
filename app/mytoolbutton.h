#pragma once

#include <QPixmap>
#include <QToolButton>

class QMimeData;

// A toolbox button for one block type; pressing it starts dragging that type to the canvas.
class MyToolButton : public QToolButton {
    Q_OBJECT
public:
    MyToolButton(QWidget* page, quint32 editorIdentity);

    // Shows the block type's icon at its own size; the drag shows it too.
    void setPixmap(const QPixmap& pixmap);
    const QPixmap& pixmap() const { return pixmap_; }

    // The drag's data: the block-type payload for this button's editor and text label.
    QMimeData* makeDragData() const;

public slots:
    void startDrag();

private:
    quint32 editorIdentity_;
    QPixmap pixmap_;
};
