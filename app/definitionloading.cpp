// Reading a window's definition file into its catalogue of block types.
#include "app/mainui.h"

#include "canvas/canvashandler.h"
#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"
#include "definitions/toolboxentry.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>

int MainUI::loadDefinitions(const QString& path) {
    const QString error = readDefinitions(path);
    if (error.isEmpty()) {
        return 0;
    }
    interaction().critical(this, tr("Definition error"), error);
    close();
    return -1;
}

QString MainUI::readDefinitions(const QString& path) {
    const QString error = readDefinitionFile(path, definitions_);
    if (!error.isEmpty()) {
        return error;
    }
    canvas_->setDefinitionFileName(QFileInfo(path).fileName());
    for (auto& entry : makeCatalogue(definitions_)) {
        canvas_->addBlockType(std::move(entry));
    }
    init();
    return QString();
}
