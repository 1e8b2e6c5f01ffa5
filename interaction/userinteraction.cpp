#include "interaction/userinteraction.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QUrl>

UserInteraction::~UserInteraction() = default;

int DialogInteraction::question(QWidget* parent, const QString& caption, const QString& text,
                                const QStringList& buttons, int defaultButton, int escapeButton) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QList<QPushButton*> pushButtons;
    for (const QString& label : buttons) {
        // One role for all keeps the buttons in the order given.
        pushButtons.append(box.addButton(label, QMessageBox::ActionRole));
    }
    if (defaultButton >= 0 && defaultButton < pushButtons.size()) {
        box.setDefaultButton(pushButtons[defaultButton]);
    }
    if (escapeButton >= 0 && escapeButton < pushButtons.size()) {
        box.setEscapeButton(pushButtons[escapeButton]);
    }
    box.exec();
    return pushButtons.indexOf(static_cast<QPushButton*>(box.clickedButton()));
}

void DialogInteraction::critical(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
}

void DialogInteraction::warning(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::warning(parent, caption, text);
}

void DialogInteraction::about(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::about(parent, caption, text);
}

QString DialogInteraction::openFileName(QWidget* parent, const QString& caption,
                                        const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString DialogInteraction::saveFileName(QWidget* parent, const QString& caption,
                                        const QString& start, const QString& filter) {
    // The overwrite question is the program's own, with its own wording.
    return QFileDialog::getSaveFileName(parent, caption, start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString DialogInteraction::saveFileNameWithFilter(QWidget* parent, const QString& caption,
                                                  const QString& start, const QString& filters,
                                                  QString& selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, start, filters, &selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

int DialogInteraction::runDialog(QDialog& dialog) {
    return dialog.exec();
}

void DialogInteraction::pause(int milliseconds) {
    QThread::msleep(milliseconds);
}

namespace {
UserInteraction* installed = nullptr;
}

UserInteraction& interaction() {
    static DialogInteraction real;
    return installed ? *installed : real;
}

void setInteraction(UserInteraction* replacement) {
    installed = replacement;
}

void DialogInteraction::openInTextEditor(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QAction* DialogInteraction::runMenu(QMenu& menu, const QPoint& globalPosition) {
    return menu.exec(globalPosition);
}
