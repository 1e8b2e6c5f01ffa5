// The toolbox of a design window: one page per category, one button per block type.
#include "app/mainui.h"

#include "app/mytoolbutton.h"
#include "canvas/canvashandler.h"
#include "definitions/toolboxentry.h"
#include "shapes/shapeicon.h"

#include <QButtonGroup>
#include <QSplitter>
#include <QToolBox>
#include <QVBoxLayout>

namespace {
// A column of tool buttons on the background of text-entry fields.
class ToolboxPage : public QWidget {
public:
    explicit ToolboxPage(QWidget* parent) : QWidget(parent), buttons(this) {
        auto* column = new QVBoxLayout(this);
        column->setAlignment(Qt::AlignTop);
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }
    QButtonGroup buttons;
};
} // namespace

QWidget* MainUI::categoryPage(const QString& name) {
    if (QWidget* page = toolboxPages_.value(name)) {
        return page;
    }
    auto* page = new ToolboxPage(toolbox_);
    page->show();
    toolboxPages_.insert(name, page);
    toolbox_->addItem(page, name);
    return page;
}

void MainUI::addToolboxButton(ToolboxEntry* entry) {
    auto* page = static_cast<ToolboxPage*>(categoryPage(QString::fromLatin1(entry->category())));
    const QPixmap icon = renderShapeIcon(entry->shape(), -1);

    auto* button = new MyToolButton(page, canvas_->identity());
    page->buttons.addButton(button);
    page->layout()->addWidget(button);
    button->setPixmap(icon);
    button->setText(QString::fromLatin1(entry->name()));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->show();

    // The toolbox is as wide as its last button needs.
    const QMargins margins = page->layout()->contentsMargins();
    const int toolboxWidth = button->sizeHint().width() + 22 + 2 * margins.left();
    splitter_->setSizes({toolboxWidth, qMax(1, splitter_->width() - toolboxWidth)});
}
