#include "interaction/consoleinteraction.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <cstdio>

namespace {
void report(const QString& caption, const QString& text) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    std::fprintf(stderr, "%s: %s: %s\n", program.toLocal8Bit().constData(),
                 caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
}
} // namespace

int ConsoleInteraction::question(QWidget*, const QString&, const QString&, const QStringList&, int,
                                 int) {
    return -1;
}

void ConsoleInteraction::critical(QWidget*, const QString& caption, const QString& text) {
    report(caption, text);
}

void ConsoleInteraction::warning(QWidget*, const QString& caption, const QString& text) {
    report(caption, text);
}

void ConsoleInteraction::about(QWidget*, const QString&, const QString&) {}

QString ConsoleInteraction::openFileName(QWidget*, const QString&, const QString&, const QString&) {
    return {};
}

QString ConsoleInteraction::saveFileName(QWidget*, const QString&, const QString&, const QString&) {
    return {};
}

QString ConsoleInteraction::saveFileNameWithFilter(QWidget*, const QString&, const QString&,
                                                   const QString&, QString&) {
    return {};
}

int ConsoleInteraction::runDialog(QDialog&) {
    return QDialog::Rejected;
}

void ConsoleInteraction::pause(int) {}

void ConsoleInteraction::openInTextEditor(const QString&) {}

QAction* ConsoleInteraction::runMenu(QMenu&, const QPoint&) {
    return nullptr;
}
