#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class MainUI;
class RecoverySession;

// Keeps the recovery copy of one window: a change starts the wait (later changes do not restart
// it, so steady editing still gets a copy every interval), and when it ends a window with unsaved
// changes has its design taken on the GUI thread and written by the session's worker. Saving or
// closing the window removes the copy. The design file, the modified flag and the title are
// never touched.
class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    RecoveryCopy(MainUI* window, RecoverySession& session);

    // Gives a window a copy keeper when this run keeps copies.
    static void watch(MainUI* window);

    const QString& name() const { return name_; }
    // The copy in place (adopted from an ended run) already holds the design as it is.
    void copyIsCurrent();
    // Takes the design and hands it to the writer, if it changed since the last copy.
    void writeIfChanged();

private:
    void modifiedFlagSet(bool modified);
    void removeCopy();
    RecoverySession* session() const;

    MainUI* window_;
    RecoverySession* session_;
    QString name_;
    QTimer wait_;
    bool changed_ = false;
    bool hasCopy_ = false;
};
