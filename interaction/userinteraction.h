#pragma once

#include <QString>
#include <QStringList>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

// Every question the program puts to a person goes through this interface, so that tests can
// answer it from a script and see exactly what was asked. The editor installs DialogInteraction.
class UserInteraction {
public:
    virtual ~UserInteraction();

    // A question box with the buttons in the given order. Returns the index of the button
    // pressed, or -1 when the box was closed without one. escapeButton -1 binds no button to
    // Escape.
    virtual int question(QWidget* parent, const QString& caption, const QString& text,
                         const QStringList& buttons, int defaultButton, int escapeButton) = 0;
    // A critical message box with a single OK button.
    virtual void critical(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A warning box with a single OK button.
    virtual void warning(QWidget* parent, const QString& caption, const QString& text) = 0;
    // An About box; the text may be rich text.
    virtual void about(QWidget* parent, const QString& caption, const QString& text) = 0;
    // File dialogs; an empty result means the person cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter) = 0;
    // A save dialog with several filters (separated by ";;"); selectedFilter comes in as the one
    // to offer first and goes out as the one the person chose.
    virtual QString saveFileNameWithFilter(QWidget* parent, const QString& caption,
                                           const QString& start, const QString& filters,
                                           QString& selectedFilter) = 0;
    // Runs a prepared dialog modally and returns its result code (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog& dialog) = 0;
    // Blocks the thread without handling events (the splash screen's pause).
    virtual void pause(int milliseconds) = 0;
    // Opens a file in the desktop's application for text files, without waiting; failures are
    // not reported.
    virtual void openInTextEditor(const QString& path) = 0;
    // Pops the menu up at a global position until it closes; the action chosen, or nullptr.
    virtual QAction* runMenu(QMenu& menu, const QPoint& globalPosition) = 0;
};

// The real dialogs of the toolkit.
class DialogInteraction : public UserInteraction {
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
    QAction* runMenu(QMenu& menu, const QPoint& globalPosition) override;
    void openInTextEditor(const QString& path) override;
};

// The interaction in force; DialogInteraction unless a test installed its own.
UserInteraction& interaction();
// Installs an interaction (not owned); nullptr goes back to the real dialogs.
void setInteraction(UserInteraction* replacement);
