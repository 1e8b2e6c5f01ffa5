#pragma once

#include <QString>
#include <QThreadPool>
#include <memory>

struct DesignRecords;
class QLockFile;

// The recovery copies of one run of the editor. Each run keeps its copies in a folder of its own
// under the recovery folder, beside a lock file that it holds while it runs: copies whose lock
// is free belong to a run that is over, and a run that is still going never has its copies
// offered to another. Copies are written one after another on a worker thread, in the order
// asked, so a removal asked after a write always wins.
class RecoverySession {
public:
    // Copies wait this long after a change unless DRAFTEL_RECOVERY_INTERVAL_MS says otherwise.
    static constexpr int defaultIntervalMs = 30000;

    // Claims a folder of its own under root. When that fails the editor runs without copies.
    explicit RecoverySession(const QString& root = defaultRoot(),
                             int intervalMs = intervalFromEnvironment());
    // Waits for the copies being written. The folder goes when no copy is left in it; copies
    // that are left (their windows never closed) are offered at the next start.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // "recovery" in the user's application data folder.
    static QString defaultRoot();
    static int intervalFromEnvironment();
    // The session of this process (the first one made that is still alive), or nullptr.
    static RecoverySession* current();

    bool isActive() const { return !folder_.isEmpty(); }
    const QString& root() const { return root_; }
    const QString& folder() const { return folder_; }
    int intervalMs() const { return intervalMs_; }

    // A name for the copy of a new window, unique in this session.
    QString takeCopyName();
    // The path of a copy of this session.
    QString copyPath(const QString& name) const;
    void writeCopy(const QString& name, DesignRecords records, const QString& designPath);
    void removeCopy(const QString& name);
    // Takes a copy of an ended run over as copy NAME of this one.
    bool adoptCopy(const QString& copyPath, const QString& name);
    void waitForWrites();

    // Names of the session folders and of the folder damaged copies are moved to.
    static constexpr const char* folderPrefix = "session-";
    static constexpr const char* lockSuffix = ".lock";
    static constexpr const char* setAsideFolder = "set-aside";

private:
    QString root_;
    QString folder_;
    int intervalMs_;
    int nextCopy_ = 1;
    std::unique_ptr<QLockFile> lock_;
    QThreadPool writer_;
};
