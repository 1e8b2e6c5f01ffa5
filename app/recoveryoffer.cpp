#include "app/recoveryoffer.h"

#include "app/mainui.h"
#include "app/recoverycopy.h"
#include "app/recoverycopyfile.h"
#include "app/recoverysession.h"
#include "canvas/canvashandler.h"
#include "interaction/userinteraction.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <vector>

namespace {
// The folder of a run that is over, held locked so that no other editor starting now takes
// the same copies.
struct EndedRun {
    QString folder;
    std::unique_ptr<QLockFile> lock;
};

std::vector<EndedRun> claimEndedRuns(const RecoverySession& session) {
    std::vector<EndedRun> runs;
    const QDir root(session.root());
    const QStringList names = root.entryList({QString(RecoverySession::folderPrefix) + "*"},
                                             QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString folder = root.filePath(name);
        if (folder == session.folder()) {
            continue;
        }
        auto lock = std::make_unique<QLockFile>(folder + RecoverySession::lockSuffix);
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            runs.push_back({folder, std::move(lock)});
        }
    }
    return runs;
}

QStringList copiesIn(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({"*.des"}, QDir::Files, QDir::Name)) {
        paths << dir.filePath(name);
    }
    return paths;
}

// Moves a damaged copy out of the way, under a name no other copy has; the path it went to.
QString setAside(const RecoverySession& session, const QString& copyPath) {
    const QString folder = QDir(session.root()).filePath(RecoverySession::setAsideFolder);
    QDir().mkpath(folder);
    const QFileInfo copy(copyPath);
    const QString stem = copy.dir().dirName() + "-" + copy.completeBaseName();
    QString name = stem;
    for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name + ".des")); ++n) {
        name = QString("%1-%2").arg(stem).arg(n);
    }
    moveRecoveryCopy(copyPath, folder, name);
    return QDir(folder).filePath(name + ".des");
}

// Leaves a run's folder with nothing but whole copies in it, removes it when none is left, and
// lets the run go.
void release(EndedRun& run) {
    QDir folder(run.folder);
    for (const QString& name : folder.entryList({"*.json", "*.staging"}, QDir::Files)) {
        if (!QFileInfo::exists(folder.filePath(QFileInfo(name).completeBaseName() + ".des"))) {
            folder.remove(name);
        }
    }
    if (copiesIn(run.folder).isEmpty()) {
        folder.removeRecursively();
    }
    run.lock.reset();
}

QString describe(const RecoveryCopyInfo& copy) {
    const QString when = copy.written.toLocalTime().toString("yyyy-MM-dd hh:mm:ss");
    if (copy.designPath.isEmpty()) {
        return MainUI::tr("unsaved design (%1), copied %2").arg(copy.definitionFile, when);
    }
    return MainUI::tr("%1, copied %2").arg(QFileInfo(copy.designPath).fileName(), when);
}

enum class Answer { RecoverAll, Discard, Later };

Answer askAbout(const std::vector<RecoveryCopyInfo>& copies) {
    QStringList lines;
    for (const RecoveryCopyInfo& copy : copies) {
        lines << "    " + describe(copy);
    }
    const int answer = interaction().question(
        nullptr, MainUI::tr("Recover designs?"),
        MainUI::tr("Draftel did not end normally, and recovery copies of unsaved changes were "
                   "found:\n%1\n\nRecover them all, discard them, or decide later (the copies "
                   "are kept until then)?")
            .arg(lines.join('\n')),
        {MainUI::tr("&Recover All"), MainUI::tr("&Discard"), MainUI::tr("Decide &Later")}, 0, 2);
    if (answer == 0) {
        return Answer::RecoverAll;
    }
    return answer == 1 ? Answer::Discard : Answer::Later;
}

bool recover(RecoverySession& session, const RecoveryCopyInfo& copy) {
    QPointer<MainUI> window = new MainUI;
    window->show();
    // A copy that fails to load (its definition file gone, say) stays where it is, for a
    // later start.
    if (window->recoverDesign(copy.copyPath, copy.designPath) != 0 || !window) {
        if (window) {
            window->close();
        }
        return false;
    }
    auto* keeper = window->findChild<RecoveryCopy*>();
    if (keeper && session.adoptCopy(copy.copyPath, keeper->name())) {
        keeper->copyIsCurrent();
    }
    return true;
}
} // namespace

int MainUI::recoverDesign(const QString& copyPath, const QString& designPath) {
    const int result = loadDesignFile(copyPath);
    if (!designPath.isEmpty()) {
        designPath_ = QFileInfo(designPath).absoluteFilePath();
        setDesignTitle();
    }
    if (result == 0) {
        canvas_->setModified(true);
    }
    return result;
}

int offerRecoveredDesigns() {
    RecoverySession* session = RecoverySession::current();
    if (!session || !session->isActive()) {
        return 0;
    }
    std::vector<EndedRun> runs = claimEndedRuns(*session);
    std::vector<RecoveryCopyInfo> copies;
    QStringList damaged;
    for (const EndedRun& run : runs) {
        for (const QString& path : copiesIn(run.folder)) {
            QString problem;
            if (std::optional<RecoveryCopyInfo> copy = readRecoveryCopy(path, &problem)) {
                copies.push_back(*copy);
            } else {
                damaged << MainUI::tr("%1: %2").arg(setAside(*session, path), problem);
            }
        }
    }
    if (!damaged.isEmpty()) {
        interaction().warning(nullptr, MainUI::tr("Damaged recovery copies"),
                              MainUI::tr("These recovery copies are damaged and cannot be "
                                         "recovered; they were set aside:\n%1")
                                  .arg(damaged.join('\n')));
    }

    int recovered = 0;
    if (!copies.empty()) {
        std::sort(copies.begin(), copies.end(),
                  [](const RecoveryCopyInfo& a, const RecoveryCopyInfo& b) {
                      return a.written < b.written;
                  });
        switch (askAbout(copies)) {
        case Answer::RecoverAll:
            for (const RecoveryCopyInfo& copy : copies) {
                recovered += recover(*session, copy) ? 1 : 0;
            }
            break;
        case Answer::Discard:
            for (const RecoveryCopyInfo& copy : copies) {
                const QFileInfo file(copy.copyPath);
                removeRecoveryCopy(file.absolutePath(), file.completeBaseName());
            }
            break;
        case Answer::Later:
            break;
        }
    }
    for (EndedRun& run : runs) {
        release(run);
    }
    return recovered;
}
