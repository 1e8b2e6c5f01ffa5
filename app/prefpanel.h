#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
struct Preferences;

// The preferences dialog: the definitions directory and whether Generate opens its file.
class PrefPanel : public QDialog {
    Q_OBJECT
public:
    explicit PrefPanel(QWidget* parent = nullptr, const char* name = nullptr, bool modal = false,
                       Qt::WindowFlags flags = {});

    QLineEdit* defsDirectory;
    QCheckBox* openGenFiles;
    QPushButton* cancelButton;
    QPushButton* okButton;

public slots:
    virtual void languageChange();

private:
    QLabel* textLabel1;
    QFrame* line1;
    QFrame* line1_2;
};

// Shows the preferences dialog filled from the current values and, when it is accepted, takes
// over the directory exactly as typed and sets the flags to the state of the check box alone.
// Returns whether it was accepted.
bool editPreferences(QWidget* parent, Preferences& values);
