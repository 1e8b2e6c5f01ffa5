// Opening and saving design files from a window.
#include "app/mainui.h"

#include "app/windowlist.h"
#include "canvas/canvashandler.h"
#include "definitions/catalogue.h"
#include "interaction/overwritequestion.h"
#include "interaction/userinteraction.h"
#include "preferences/preferences.h"

#include <QDir>
#include <QFileInfo>

int MainUI::loadNamedDefinitions(const QString& name) {
    const QString path = QDir(preferences().definitionsDirectory).filePath(name);
    if (!isDefinitionFileName(name)) {
        interaction().critical(this, tr("Definition error"),
                               tr("File: %1\nError: \"%2\"").arg(path, "File open error"));
        close();
        return -1;
    }
    return loadDefinitions(path);
}

int MainUI::loadDesignFile(const QString& path) {
    DesignLoadContext context;
    context.window = this;
    context.loadDefinitions = [this](const QString& name) { return loadNamedDefinitions(name); };
    return canvas_->loadDesign(path, context);
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
    const int result = window->loadDesignFile(chosen);
    window->designPath_ = file.absoluteFilePath();
    window->setDesignTitle();
    if (result != 0) {
        window->close();
    }
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
