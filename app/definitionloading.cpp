// Reading a window's definition file into its catalogue of block types.
#include "app/mainui.h"

#include "canvas/canvashandler.h"
#include "definitions/catalogue.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "definitions/toolboxentry.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>

int MainUI::loadDefinitions(const QString& path) {
    Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
    if (definitions_.read(tokenizer)) {
        const QString error = QString::fromLatin1(tokenizer.errorText());
        interaction().critical(this, tr("Definition error"),
                               tr("File: %1\nError: \"%2\"").arg(path, error));
        close();
        return -1;
    }

    canvas_->setDefinitionFileName(QFileInfo(path).fileName());
    // The entries belong to the canvas editor from the filling of the toolbox on.
    for (auto& entry : makeCatalogue(definitions_)) {
        catalogue_.append(entry.release());
    }
    init();
    return 0;
}
