// The menu bar of a design window.
#include "app/mainui.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {
struct MenuEntry {
    const char* text; // nullptr: a separator
    QKeySequence accelerator;
    void (MainUI::*slot)(); // nullptr: the command is not available yet
};

void addEntries(MainUI* window, QMenu* menu, std::initializer_list<MenuEntry> entries) {
    for (const MenuEntry& entry : entries) {
        if (!entry.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(MainUI::tr(entry.text));
        action->setShortcut(entry.accelerator);
        if (entry.slot) {
            QObject::connect(action, &QAction::triggered, window, entry.slot);
        } else {
            action->setEnabled(false);
        }
    }
}

const MenuEntry separator{nullptr, {}, nullptr};
} // namespace

void MainUI::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    addEntries(
        this, file,
        {{QT_TRANSLATE_NOOP("MainUI", "&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
          &MainUI::newView},
         {QT_TRANSLATE_NOOP("MainUI", "&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O),
          &MainUI::openView},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "&Close..."), QKeySequence(Qt::CTRL | Qt::Key_W), nullptr},
         {QT_TRANSLATE_NOOP("MainUI", "&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
          &MainUI::saveView},
         {QT_TRANSLATE_NOOP("MainUI", "&Save As..."),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), nullptr},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P),
          &MainUI::print},
         {QT_TRANSLATE_NOOP("MainUI", "Export Image..."), QKeySequence(), &MainUI::exportImage},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "Preferences..."), QKeySequence(Qt::CTRL | Qt::Key_Comma),
          &MainUI::openPrefs},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "Q&uit Draftel"), QKeySequence(Qt::CTRL | Qt::Key_Q),
          &MainUI::quitApp}});
    // "&Close..." runs the window's own close, which asks about unsaved changes.
    QAction* close = menuAction("&Close...");
    close->setEnabled(true);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction* saveAs = menuAction("&Save As...");
    saveAs->setEnabled(true);
    connect(saveAs, &QAction::triggered, this, [this] { saveAsView(); });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    addEntries(
        this, edit,
        {{QT_TRANSLATE_NOOP("MainUI", "Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), &MainUI::undo},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), &MainUI::cut},
         {QT_TRANSLATE_NOOP("MainUI", "Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &MainUI::copy},
         {QT_TRANSLATE_NOOP("MainUI", "Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &MainUI::paste},
         {QT_TRANSLATE_NOOP("MainUI", "Delete"), QKeySequence(Qt::Key_Backspace),
          &MainUI::deleteSelected},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A),
          &MainUI::selectAll},
         separator,
         {QT_TRANSLATE_NOOP("MainUI", "Generate"), QKeySequence(Qt::CTRL | Qt::Key_G),
          &MainUI::generate}});

    // The Delete key deletes as well, as people expect on this platform.
    menuAction("Delete")->setShortcuts(
        {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::Key_Delete)});

    menuBar()->addSeparator();
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    addEntries(this, help,
               {{QT_TRANSLATE_NOOP("MainUI", "&About"), QKeySequence(Qt::Key_F1), &MainUI::help}});
}

QAction* MainUI::menuAction(const QString& text) const {
    for (QAction* menu : menuBar()->actions()) {
        if (!menu->menu()) {
            continue;
        }
        for (QAction* action : menu->menu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
    }
    return nullptr;
}
