#include "app/mainui.h"

#include "app/userinteraction.h"

// Temporary until the definition parser lands: loading reports that it cannot read the file.
int MainUI::loadDefinitions(const QString& path) {
    interaction().critical(this, tr("Definition error"),
                           tr("File: %1\nError: \"%2\"").arg(path, "not readable yet"));
    close();
    return -1;
}
