#include "app/recoverycopy.h"

#include "app/mainui.h"
#include "app/recoverysession.h"
#include "canvas/canvashandler.h"
#include "designfile/designrecords.h"

RecoveryCopy::RecoveryCopy(MainUI* window, RecoverySession& session)
    : QObject(window), window_(window), session_(&session), name_(session.takeCopyName()) {
    wait_.setSingleShot(true);
    wait_.setInterval(session.intervalMs());
    connect(&wait_, &QTimer::timeout, this, &RecoveryCopy::writeIfChanged);
    connect(window->canvasHandler(), &CanvasHandler::modifiedFlagSet, this,
            &RecoveryCopy::modifiedFlagSet);
    connect(window, &MainUI::closeAccepted, this, &RecoveryCopy::removeCopy);
}

void RecoveryCopy::watch(MainUI* window) {
    RecoverySession* session = RecoverySession::current();
    if (session && session->isActive()) {
        new RecoveryCopy(window, *session);
    }
}

// A window may outlive the run's session (in tests); its copies then simply stop.
RecoverySession* RecoveryCopy::session() const {
    return RecoverySession::current() == session_ ? session_ : nullptr;
}

void RecoveryCopy::modifiedFlagSet(bool modified) {
    if (!modified) {
        removeCopy(); // saved
        return;
    }
    changed_ = true;
    if (!wait_.isActive()) {
        wait_.start();
    }
}

void RecoveryCopy::copyIsCurrent() {
    wait_.stop();
    changed_ = false;
    hasCopy_ = true;
}

void RecoveryCopy::writeIfChanged() {
    RecoverySession* const session = this->session();
    if (!session || !changed_ || !window_->canvasHandler()->isModified()) {
        return;
    }
    changed_ = false;
    hasCopy_ = true;
    session->writeCopy(name_, window_->canvasHandler()->designRecords(window_->geometry()),
                       window_->designPath());
}

void RecoveryCopy::removeCopy() {
    wait_.stop();
    changed_ = false;
    if (RecoverySession* const session = this->session(); session && hasCopy_) {
        session->removeCopy(name_);
    }
    hasCopy_ = false;
}
