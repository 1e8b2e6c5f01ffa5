#include "app/mainui.h"

#include "app/prefpanel.h"
#include "app/recoverycopy.h"
#include "app/windowlist.h"
#include "canvas/canvashandler.h"
#include "interaction/userinteraction.h"
#include "preferences/preferences.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBox>

MainUI::MainUI(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QMainWindow(parent, flags) {
    setObjectName(name ? name : "MainUI");
    setAttribute(Qt::WA_DeleteOnClose);
    move(takeNextWindowPosition());

    splitter_ = new QSplitter(this);
    toolbox_ = new QToolBox(splitter_);
    canvas_ = new CanvasHandler(splitter_);
    setCentralWidget(splitter_);

    buildMenus();
    setMouseTracking(true);
    statusBar();
    RecoveryCopy::watch(this);

    openWindows().append(this);
}

MainUI::~MainUI() {
    openWindows().removeAll(this);
}

void MainUI::setDesignTitle() {
    setWindowTitle(tr("Design %1").arg(QFileInfo(designPath_).fileName()));
}

void MainUI::newView() {
    newDesignFromDefinitionFile(this);
}

void MainUI::openPrefs() {
    editPreferences(this, preferences());
}

void MainUI::quitApp() {
    // Each window removes itself from the list when it goes, so walk a snapshot.
    QList<QPointer<MainUI>> windows;
    for (MainUI* window : openWindows()) {
        windows.append(window);
    }
    for (const QPointer<MainUI>& window : windows) {
        if (window) {
            window->close();
        }
    }
}

void MainUI::init() {
    clear();
    for (const auto& entry : canvas_->blockTypes()) {
        addToolboxButton(entry.get());
    }
}

QList<ToolboxEntry*> MainUI::catalogue() const {
    QList<ToolboxEntry*> entries;
    for (const auto& entry : canvas_->blockTypes()) {
        entries.append(entry.get());
    }
    return entries;
}

void MainUI::undo() {
    canvas_->undo();
}

void MainUI::cut() {
    canvas_->cut();
}

void MainUI::copy() {
    canvas_->copy();
}

void MainUI::paste() {
    canvas_->paste();
}

void MainUI::deleteSelected() {
    canvas_->deleteSelected();
}

void MainUI::selectAll() {
    canvas_->selectAll();
}

void MainUI::generate() {
    canvas_->generate(definitions_, preferences().openGeneratedFile());
}

void MainUI::clear() {
    canvas_->clear();
}

void MainUI::closeEvent(QCloseEvent* event) {
    if (!canvas_->isModified()) {
        event->accept();
        emit closeAccepted();
        return;
    }
    activateWindow();
    const int dontSave = 0;
    const int cancel = 1;
    const int save = 2;
    const int answer = interaction().question(
        this, QString(), tr("Do you want to save changes to this document before closing?"),
        {tr("Don't Save"), tr("Cancel"), tr("Save")}, save, cancel);
    // "Save" always asks for a file name; the window closes only when the design was written.
    if (answer == dontSave || (answer == save && saveAsView())) {
        event->accept();
        emit closeAccepted();
    } else {
        event->ignore();
    }
}

void MainUI::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const QSize canvas = canvas_->canvasSize();
    canvas_->resizeCanvas(qMax(canvas.width(), width()), qMax(canvas.height(), height()));
}

void MainUI::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        canvas_->keyPress(event->key(), event->modifiers());
        break;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

NewDesignResult newDesignFromDefinitionFile(QWidget* messageParent) {
    const QString directory = preferences().definitionsDirectory;
    const QString chosen =
        interaction().openFileName(nullptr, MainUI::tr("Select a definition file"), directory,
                                   MainUI::tr("Definition (*.def)"));
    if (chosen.isEmpty()) {
        return NewDesignResult::Cancelled;
    }
    const QString directoryPath = QDir(directory).absolutePath();
    if (QFileInfo(chosen).absolutePath() != directoryPath) {
        interaction().critical(messageParent, MainUI::tr("Definition error"),
                               MainUI::tr("Select only definition files from the Definitions "
                                          "directory.\nDirectory: %1")
                                   .arg(directoryPath));
        return NewDesignResult::Failed;
    }
    auto* window = new MainUI;
    window->show();
    return window->loadDefinitions(chosen) == 0 ? NewDesignResult::Opened : NewDesignResult::Failed;
}
