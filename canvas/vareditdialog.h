#pragma once

#include <QDialog>

class BlockItem;
class CanvasHandler;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "Variables" window of one block: its variable names with their first values, which can be
// edited in place. Nothing changes in the block until the edits are applied after "Ok".
class VarEditDialog : public QDialog {
    Q_OBJECT
public:
    VarEditDialog(CanvasHandler* editor, BlockItem* block);

    // Whether "Ok" closed the window; any other way of closing it confirms nothing.
    bool isConfirmed() const { return confirmed_; }
    // Writes the changed values into the block, under one undo record at most.
    void applyEdits();

    QTreeWidget* list() const { return list_; }

public slots:
    void okPressed();
    void cancelPressed();
    void itemDoubleClicked(QTreeWidgetItem* item, int column);

private:
    void commitOpenEdit();

    CanvasHandler* editor_;
    BlockItem* block_;
    QTreeWidget* list_;
    bool confirmed_ = false;
    QTreeWidgetItem* edited_ = nullptr;
};
