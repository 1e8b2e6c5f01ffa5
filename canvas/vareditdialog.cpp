#include "canvas/vareditdialog.h"

#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/undorecords.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>

namespace {
const int nameColumn = 0;
const int valueColumn = 1;
} // namespace

VarEditDialog::VarEditDialog(CanvasHandler* editor, BlockItem* block)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), editor_(editor),
      block_(block), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("Variables"));
    setWindowTitle(tr("Variables"));
    setWindowModality(Qt::ApplicationModal);

    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Name"), tr("Value")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setSectionResizeMode(nameColumn, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(true);
    // Editing starts only where itemDoubleClicked allows it: in the "Value" column.
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &VarEditDialog::itemDoubleClicked);

    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    // Return confirms, wherever the focus is; only Escape and "Cancel" discard the edits.
    cancel->setAutoDefault(false);
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &VarEditDialog::cancelPressed);
    connect(ok, &QPushButton::clicked, this, &VarEditDialog::okPressed);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(300, 200);

    for (const auto& variable : block->variables()) {
        const char* value = variable.payload->text(0);
        auto* row = new QTreeWidgetItem(
            list_, {QString::fromLatin1(variable.name), QString::fromLatin1(value ? value : "")});
        // An empty value list has no first value to replace.
        if (variable.payload->count() > 0) {
            row->setFlags(row->flags() | Qt::ItemIsEditable);
        }
    }
}

void VarEditDialog::okPressed() {
    commitOpenEdit();
    confirmed_ = true;
    accept();
}

void VarEditDialog::cancelPressed() {
    confirmed_ = false;
    reject();
}

void VarEditDialog::itemDoubleClicked(QTreeWidgetItem* item, int column) {
    if (item && column == valueColumn) {
        edited_ = item;
        list_->editItem(item, column);
    }
}

void VarEditDialog::commitOpenEdit() {
    // Clicking "Ok" takes the focus from an open editor, which then commits; a click that does
    // not move the focus (a shortcut, a scripted click) must commit it here.
    if (!edited_) {
        return;
    }
    if (QWidget* editor = list_->itemWidget(edited_, valueColumn)) {
        const QModelIndex index =
            list_->model()->index(list_->indexOfTopLevelItem(edited_), valueColumn);
        list_->itemDelegate()->setModelData(editor, list_->model(), index);
    }
}

void VarEditDialog::applyEdits() {
    bool recorded = false;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list_->topLevelItem(i);
        const QByteArray name = row->text(nameColumn).toLatin1();
        ValueList* values = block_->variables().find(name.constData());
        if (!values || values->count() == 0) {
            continue;
        }
        const QByteArray text = row->text(valueColumn).toLatin1();
        const char* old = values->text(0);
        if (std::strcmp(old ? old : "", text.constData()) == 0) {
            continue;
        }
        if (name == "name") {
            block_->setLabel(QString::fromLatin1(text));
        }
        if (!recorded) {
            // All variables as they were before this confirmation, for one Undo.
            editor_->pushUndo(new VariablesRecord(block_));
            recorded = true;
        }
        values->at(0)->assign(text.constData());
    }
}
