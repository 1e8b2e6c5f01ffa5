// Opening and saving design files from a window.
#include "app/mainui.h"

#include "app/windowlist.h"
#include "canvas/canvashandler.h"
#include "interaction/overwritequestion.h"
#include "interaction/userinteraction.h"
#include "preferences/preferences.h"

#include <QDir>
#include <QFileInfo>

int MainUI::loadDesignFile(const QString& path) {
    DesignLoadContext context;
    context.definitionsDirectory = preferences().definitionsDirectory;
    context.window = this;
    context.loadDefinitions = [this](const QString& definitionPath) {
        return readDefinitions(definitionPath);
    };
    const DesignVerdict verdict = canvas_->loadDesign(path, context);
    switch (verdict.kind) {
    case DesignVerdict::Kind::Fine:
        return 0;
    case DesignVerdict::Kind::Damaged:
        interaction().warning(this, tr("Damaged design"),
                              verdict.message + '\n' +
                                  tr("Only the part before the damage was loaded; saving it over "
                                     "the original loses the rest."));
        return 0;
    case DesignVerdict::Kind::Refused:
        break;
    }
    interaction().critical(this,
                           verdict.definitionError ? tr("Definition error") : tr("Design error"),
                           verdict.message);
    // Whatever was read stays out of reach, so no partial design can be saved over its file.
    close();
    return -1;
}

int MainUI::openDesign(const QString& path) {
    const QFileInfo file(path);
    if (!file.isReadable()) {
        return -1;
    }
    if (MainUI* shown = findWindow(file.absoluteFilePath())) {
        shown->activateWindow();
        shown->raise();
        return 0;
    }
    const int result = loadDesignFile(path);
    designPath_ = file.absoluteFilePath();
    setDesignTitle();
    return result;
}

void MainUI::openView() {
    const QString chosen = interaction().openFileName(nullptr, tr("Choose a design"),
                                                      QStringLiteral("."), tr("Design (*.des)"));
    if (chosen.isEmpty()) {
        return;
    }
    const QFileInfo file(chosen);
    if (!file.isReadable()) {
        return;
    }
    if (MainUI* shown = findWindow(file.absoluteFilePath())) {
        shown->activateWindow();
        shown->raise();
        return;
    }
    auto* window = new MainUI;
    window->show();
    window->loadDesignFile(chosen);
    window->designPath_ = file.absoluteFilePath();
    window->setDesignTitle();
}

void MainUI::saveView() {
    if (designPath_.isNull()) {
        saveAsView();
        return;
    }
    writeDesign(designPath_);
}

bool MainUI::writeDesign(const QString& path) {
    QString error;
    if (canvas_->saveDesign(path, geometry(), &error)) {
        return true;
    }
    interaction().critical(this, tr("Save error"),
                           tr("The design could not be saved to %1:\n%2").arg(path, error));
    return false;
}

bool MainUI::saveAsView() {
    QString chosen =
        interaction().saveFileName(this, tr("Choose a design"), designPath_, tr("Design (*.des)"));
    if (chosen.isEmpty()) {
        return false;
    }
    // The extension must be exactly "des"; "DES" or none gets ".des" appended.
    if (QFileInfo(chosen).suffix() != "des") {
        chosen += ".des";
    }
    const QFileInfo file(chosen);
    if (file.exists() && file.absoluteFilePath() != designPath_) {
        if (!askOverwrite(this, file.fileName())) {
            return false;
        }
    }
    if (!writeDesign(chosen)) {
        return false;
    }
    designPath_ = file.absoluteFilePath();
    setDesignTitle();
    return true;
}
