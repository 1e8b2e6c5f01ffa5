// The About command: the splash image again, then a short About box.
#include "app/mainui.h"
#include "app/startup.h"
#include "interaction/userinteraction.h"

#include "draftel_version.h"

void MainUI::help() {
    showSplash(3000);
    interaction().about(
        this, tr("Korvala Draftel"),
        tr("<h3>Korvala Draftel</h3>") +
            tr("<p>Version %1. Draw block diagrams and generate code from them.</p>")
                .arg(QString::fromLatin1(draftelVersion())));
}
