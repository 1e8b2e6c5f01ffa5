// Generate: writes the files of the design's definition set and reports circular definitions.
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "generator/generatedfiles.h"
#include "generator/generator.h"
#include "interaction/overwritequestion.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>

namespace {
class MessageBoxReporter : public CircularReporter {
public:
    void circularDefinition(const BlockView*) override {
        interaction().critical(nullptr, CanvasHandler::tr("Circular definition"),
                               CanvasHandler::tr("The Design contains a circular definition."));
    }
};
} // namespace

std::vector<const BlockView*> CanvasHandler::generatorViews() const {
    std::vector<const BlockView*> blocks;
    for (const BlockItem* block : canvas_->blocks()) {
        blocks.push_back(block);
    }
    return blocks;
}

void CanvasHandler::generate(const DefinitionSet& definitions, bool openGeneratedFile) {
    const QString chosen = interaction().saveFileName(this, tr("Select filename to generate"),
                                                      outputFileName_, QString());
    if (chosen.isEmpty()) {
        return;
    }
    const QFileInfo file(chosen);
    if (file.exists()) {
        if (!askOverwrite(this, file.fileName())) {
            return;
        }
    }
    outputFileName_ = file.absoluteFilePath();

    MessageBoxReporter reporter;
    const GenerateOutcome outcome =
        writeGeneratedFiles(definitions, generatorViews(), outputFileName_, reporter);
    switch (outcome.status) {
    case GenerateOutcome::Status::Success:
        if (openGeneratedFile) {
            interaction().openInTextEditor(outputFileName_);
        }
        break;
    case GenerateOutcome::Status::Circular:
        deselectAll();
        if (outcome.block) {
            // The views handed to the generator are the canvas's own blocks.
            const_cast<BlockItem*>(static_cast<const BlockItem*>(outcome.block))->setSelected(true);
        }
        break;
    case GenerateOutcome::Status::Stopped: {
        const GenerationLimits limits;
        interaction().critical(
            this, tr("Generation stopped"),
            outcome.stop == GenerationStop::OutputSize
                ? tr("Generation stopped: the output would exceed %1 MB.")
                      .arg(limits.outputBytes >> 20)
                : tr("Generation stopped: the expansion would take more than %1 million steps.")
                      .arg(limits.steps / 1000000));
        break;
    }
    case GenerateOutcome::Status::WriteError:
        interaction().critical(
            this, tr("Generate error"),
            tr("The file %1 could not be written:\n%2").arg(outcome.fileName, outcome.reason));
        break;
    case GenerateOutcome::Status::UnknownType:
        interaction().critical(this, tr("Generate error"),
                               tr("The design holds a block whose type the definition file does "
                                  "not define; nothing was generated."));
        break;
    }
}
