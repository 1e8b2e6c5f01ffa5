#include "app/recoverysession.h"

#include "app/recoverycopyfile.h"
#include "designfile/designrecords.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {
RecoverySession* currentSession = nullptr;
const int nameAttempts = 100;
} // namespace

QString RecoverySession::defaultRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

int RecoverySession::intervalFromEnvironment() {
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue("DRAFTEL_RECOVERY_INTERVAL_MS", &ok);
    return ok && interval > 0 ? interval : defaultIntervalMs;
}

RecoverySession* RecoverySession::current() {
    return currentSession;
}

RecoverySession::RecoverySession(const QString& root, int intervalMs)
    : root_(root), intervalMs_(intervalMs) {
    writer_.setMaxThreadCount(1);
    if (!currentSession) {
        currentSession = this;
    }
    if (root.isEmpty() || !QDir().mkpath(root)) {
        return;
    }
    // The lock comes before the folder, so that no other run ever sees the folder unlocked.
    const QString stem = QString("%1%2-%3")
                             .arg(folderPrefix)
                             .arg(QDateTime::currentDateTimeUtc().toString("yyyyMMdd-hhmmsszzz"))
                             .arg(QCoreApplication::applicationPid());
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        const QString name = attempt == 0 ? stem : QString("%1-%2").arg(stem).arg(attempt);
        const QString folder = QDir(root).filePath(name);
        auto lock = std::make_unique<QLockFile>(folder + lockSuffix);
        lock->setStaleLockTime(0);
        if (QDir(folder).exists() || !lock->tryLock(0)) {
            continue;
        }
        if (!QDir().mkdir(folder)) {
            return;
        }
        lock_ = std::move(lock);
        folder_ = folder;
        return;
    }
}

RecoverySession::~RecoverySession() {
    waitForWrites();
    if (isActive() && QDir(folder_).entryList({"*.des"}, QDir::Files).isEmpty()) {
        QDir(folder_).removeRecursively();
    }
    lock_.reset();
    if (currentSession == this) {
        currentSession = nullptr;
    }
}

QString RecoverySession::takeCopyName() {
    return QString("window-%1").arg(nextCopy_++);
}

QString RecoverySession::copyPath(const QString& name) const {
    return QDir(folder_).filePath(name + ".des");
}

void RecoverySession::writeCopy(const QString& name, DesignRecords records,
                                const QString& designPath) {
    if (!isActive()) {
        return;
    }
    // Shared, because a queued task must be copyable and copying the records would cost the
    // GUI thread as much as taking them.
    auto shared = std::make_shared<const DesignRecords>(std::move(records));
    writer_.start(
        [folder = folder_, name, shared, designPath, written = QDateTime::currentDateTimeUtc()] {
            writeRecoveryCopy(folder, name, *shared, designPath, written);
        });
}

void RecoverySession::removeCopy(const QString& name) {
    if (!isActive()) {
        return;
    }
    writer_.start([folder = folder_, name] { removeRecoveryCopy(folder, name); });
}

bool RecoverySession::adoptCopy(const QString& copyPath, const QString& name) {
    return isActive() && moveRecoveryCopy(copyPath, folder_, name);
}

void RecoverySession::waitForWrites() {
    writer_.waitForDone();
}
