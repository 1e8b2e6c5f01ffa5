// The Export Image command: the design as a PNG, SVG or PDF picture.
#include "app/mainui.h"

#include "canvas/canvashandler.h"
#include "export/designpicture.h"
#include "interaction/overwritequestion.h"
#include "interaction/userinteraction.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
struct PictureFilter {
    const char* text;
    PictureOptions options;
};

// The first is offered first. A second PNG entry lets people ask for high-density pictures in
// the same dialog.
const PictureFilter pictureFilters[] = {
    {QT_TRANSLATE_NOOP("MainUI", "PNG image (*.png)"), {PictureFormat::Png, 1}},
    {QT_TRANSLATE_NOOP("MainUI", "PNG image, double size (*.png)"), {PictureFormat::Png, 2}},
    {QT_TRANSLATE_NOOP("MainUI", "SVG image (*.svg)"), {PictureFormat::Svg, 1}},
    {QT_TRANSLATE_NOOP("MainUI", "PDF document (*.pdf)"), {PictureFormat::Pdf, 1}},
};

const PictureFilter& filterNamed(const QString& text) {
    for (const PictureFilter& filter : pictureFilters) {
        if (MainUI::tr(filter.text) == text) {
            return filter;
        }
    }
    return pictureFilters[0];
}

// A known extension decides the format; otherwise the chosen filter does and lends its
// extension to the name.
PictureOptions choosePicture(QString& path, const PictureOptions& chosen) {
    if (const std::optional<PictureFormat> named = pictureFormatOfName(path)) {
        return *named == chosen.format ? chosen : PictureOptions{*named, 1};
    }
    path += '.' + pictureExtension(chosen.format);
    return chosen;
}
} // namespace

void MainUI::exportImage() {
    QStringList filters;
    for (const PictureFilter& filter : pictureFilters) {
        filters << tr(filter.text);
    }
    const QFileInfo design(designPath_);
    const QString start =
        designPath_.isEmpty() ? QString() : design.dir().filePath(design.completeBaseName());
    QString selectedFilter = filters.first();
    QString chosen = interaction().saveFileNameWithFilter(this, tr("Export Image"), start,
                                                          filters.join(";;"), selectedFilter);
    if (chosen.isEmpty()) {
        return;
    }
    const PictureOptions options = choosePicture(chosen, filterNamed(selectedFilter).options);
    const QFileInfo file(chosen);
    if (file.exists() && !askOverwrite(this, file.fileName())) {
        return;
    }
    QString error;
    if (!writeDesignPicture(*canvas_, chosen, options, error)) {
        interaction().critical(
            this, tr("Export error"),
            tr("The picture could not be written to %1:\n%2").arg(chosen, error));
    }
}
