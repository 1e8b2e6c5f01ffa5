#include "interaction/overwritequestion.h"

#include "interaction/userinteraction.h"

#include <QCoreApplication>

bool askOverwrite(QWidget* parent, const QString& fileName) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("OverwriteQuestion", text);
    };
    const int answer = interaction().question(
        parent, tr("Overwrite File?"),
        tr("A file called %1 already exists.\nDo you want to overwrite it?").arg(fileName),
        {tr("&Yes"), tr("&No")}, 0, 1);
    return answer == 0;
}
