#include "app/prefpanel.h"

#include "interaction/userinteraction.h"
#include "preferences/preferences.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <memory>

namespace {
QFrame* horizontalLine(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QVBoxLayout* verticalLayout(const char* name) {
    auto* layout = new QVBoxLayout;
    layout->setObjectName(name);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}

QHBoxLayout* horizontalLayout(const char* name) {
    auto* layout = new QHBoxLayout;
    layout->setObjectName(name);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}
} // namespace

PrefPanel::PrefPanel(QWidget* parent, const char* name, bool modal, Qt::WindowFlags flags)
    : QDialog(parent, flags) {
    setObjectName(name ? name : "PrefPanel");
    setModal(modal);

    auto* panelLayout = new QGridLayout(this);
    panelLayout->setObjectName("PrefPanelLayout");
    panelLayout->setContentsMargins(11, 11, 11, 11);
    panelLayout->setSpacing(6);

    QVBoxLayout* layout8 = verticalLayout("layout8");
    QVBoxLayout* layout3 = verticalLayout("layout3");
    QHBoxLayout* layout2 = horizontalLayout("layout2");
    textLabel1 = new QLabel(this);
    textLabel1->setObjectName("textLabel1");
    layout2->addWidget(textLabel1);
    layout2->addItem(new QSpacerItem(151, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    layout3->addLayout(layout2);
    defsDirectory = new QLineEdit(this);
    defsDirectory->setObjectName("defsDirectory");
    layout3->addWidget(defsDirectory);
    layout8->addLayout(layout3);

    line1 = horizontalLine(this, "line1");
    layout8->addWidget(line1);
    openGenFiles = new QCheckBox(this);
    openGenFiles->setObjectName("openGenFiles");
    layout8->addWidget(openGenFiles);
    layout8->addItem(new QSpacerItem(20, 39, QSizePolicy::Minimum, QSizePolicy::Expanding));
    line1_2 = horizontalLine(this, "line1_2");
    layout8->addWidget(line1_2);

    QHBoxLayout* layout5 = horizontalLayout("layout5");
    layout5->addItem(new QSpacerItem(111, 21, QSizePolicy::Expanding, QSizePolicy::Minimum));
    cancelButton = new QPushButton(this);
    cancelButton->setObjectName("cancelButton");
    layout5->addWidget(cancelButton);
    okButton = new QPushButton(this);
    okButton->setObjectName("okButton");
    layout5->addWidget(okButton);
    layout8->addLayout(layout5);

    panelLayout->addLayout(layout8, 0, 0);

    languageChange();
    resize(QSize(383, 198).expandedTo(minimumSizeHint()));

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(defsDirectory, openGenFiles);
    setTabOrder(openGenFiles, okButton);
    setTabOrder(okButton, cancelButton);
}

void PrefPanel::languageChange() {
    setWindowTitle(tr("Preferences"));
    textLabel1->setText(tr("Definitions directory:"));
    openGenFiles->setText(tr("Open generated file"));
    cancelButton->setText(tr("Cancel"));
    okButton->setText(tr("OK"));
}

bool editPreferences(QWidget* parent, Preferences& values) {
    // Destroyed when done rather than kept as a hidden child of the window for its lifetime.
    auto panel = std::make_unique<PrefPanel>(parent);
    panel->defsDirectory->setText(values.definitionsDirectory);
    panel->openGenFiles->setChecked(values.openGeneratedFile());
    if (interaction().runDialog(*panel) != QDialog::Accepted) {
        return false;
    }
    values.chooseDefinitionsDirectory(panel->defsDirectory->text());
    values.flags = panel->openGenFiles->isChecked() ? 1 : 0;
    return true;
}
