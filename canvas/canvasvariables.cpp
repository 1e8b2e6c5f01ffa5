#include "canvas/canvashandler.h"
#include "canvas/vareditdialog.h"
#include "interaction/userinteraction.h"

void CanvasHandler::editVariables(BlockItem* block) {
    if (!block) {
        return;
    }
    VarEditDialog dialog(this, block);
    interaction().runDialog(dialog);
    if (dialog.isConfirmed()) {
        dialog.applyEdits();
    }
}
