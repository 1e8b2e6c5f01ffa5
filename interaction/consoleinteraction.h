#pragma once

#include "interaction/userinteraction.h"

// For runs without a person: messages go to standard error with the program's name, every
// question is cancelled and no dialog opens.
class ConsoleInteraction : public UserInteraction {
public:
    int question(QWidget* parent, const QString& caption, const QString& text,
                 const QStringList& buttons, int defaultButton, int escapeButton) override;
    void critical(QWidget* parent, const QString& caption, const QString& text) override;
    void warning(QWidget* parent, const QString& caption, const QString& text) override;
    void about(QWidget* parent, const QString& caption, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter) override;
    QString saveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filters, QString& selectedFilter) override;
    int runDialog(QDialog& dialog) override;
    void pause(int milliseconds) override;
    void openInTextEditor(const QString& path) override;
    QAction* runMenu(QMenu& menu, const QPoint& globalPosition) override;
};
