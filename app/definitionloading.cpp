// Reading a window's definition file into its catalogue of block types.
#include "app/mainui.h"

#include "canvas/canvashandler.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "definitions/toolboxentry.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>

namespace {
const char* firstValue(const BlockDefinition& block, const char* key) {
    const ValueList* values = block.section(key);
    return values ? values->text(0) : nullptr;
}
} // namespace

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
    for (const auto& block : definitions_.blocks()) {
        const BlockDefinition& definition = *block.payload;
        // Owned by the canvas editor from the filling of the toolbox on.
        auto* entry = new ToolboxEntry(definition.name(), firstValue(definition, "shape"),
                                       firstValue(definition, "category"), block.payload);
        for (int i = 0; definition.input(i); ++i) {
            entry->addInput(definition.input(i));
        }
        for (int i = 0; definition.output(i); ++i) {
            entry->addOutput(definition.output(i));
        }
        catalogue_.append(entry);
    }
    init();
    return 0;
}
