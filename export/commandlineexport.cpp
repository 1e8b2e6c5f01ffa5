#include "export/commandlineexport.h"

#include "canvas/canvashandler.h"
#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"
#include "definitions/definitionset.h"
#include "export/designpicture.h"
#include "interaction/consoleinteraction.h"
#include "preferences/preferences.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {
constexpr int exitFailure = 2;

const char usage[] = "Usage: draftel --export-image FILE [--defs DIR] [--scale N] DESIGN.des\n"
                     "Writes a picture of the design: FILE ends in .png, .svg or .pdf.\n"
                     "  --defs DIR   definitions directory (default: the saved preference)\n"
                     "  --scale N    PNG pixels per canvas pixel, 1 (default) or 2\n";

int fail(const QString& message) {
    std::fprintf(stderr, "draftel: %s\n", message.toLocal8Bit().constData());
    return exitFailure;
}

struct ExportRequest {
    QString picture;
    QString design;
    QString definitionsDirectory;
    PictureOptions options;
};

// Fills the request or returns the reason the arguments make none.
QString parse(const QStringList& arguments, ExportRequest& request) {
    bool scaleGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--export-image" || argument == "--defs" || argument == "--scale") {
            if (i + 1 >= arguments.size()) {
                return QString("option '%1' needs an argument").arg(argument);
            }
            const QString value = arguments[++i];
            if (argument == "--export-image") {
                request.picture = value;
            } else if (argument == "--defs") {
                request.definitionsDirectory = value;
            } else {
                request.options.scale = value == "2" ? 2 : value == "1" ? 1 : 0;
                scaleGiven = true;
            }
        } else if (argument.startsWith("--")) {
            return QString("unknown option '%1'").arg(argument);
        } else if (!request.design.isEmpty()) {
            return "only one design file can be given";
        } else {
            request.design = argument;
        }
    }
    if (request.design.isEmpty()) {
        return "no design file given";
    }
    const std::optional<PictureFormat> format = pictureFormatOfName(request.picture);
    if (!format) {
        return "the picture's file name must end in .png, .svg or .pdf";
    }
    request.options.format = *format;
    if (request.options.scale == 0 || (scaleGiven && *format != PictureFormat::Png)) {
        return "--scale takes 1 or 2, for PNG pictures only";
    }
    return {};
}

// The one place that reads the design: the editor's own loading onto a canvas that is never
// shown, with the definition file taken from the given directory. Empty on success, else the
// design reader's verdict, as draftel-gen reports it (a damaged design is refused too).
QString loadDesign(CanvasHandler& editor, DefinitionSet& definitions, const QString& path,
                   const QString& directory) {
    DesignLoadContext context;
    context.definitionsDirectory = directory;
    context.loadDefinitions = [&](const QString& definitionPath) {
        const QString error = readDefinitionFile(definitionPath, definitions);
        if (error.isEmpty()) {
            for (auto& entry : makeCatalogue(definitions)) {
                editor.addBlockType(std::move(entry));
            }
        }
        return error;
    };
    const DesignVerdict verdict = editor.loadDesign(path, context);
    return verdict.fine() ? QString() : verdict.message;
}
} // namespace

bool isExportImageCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--export-image")) {
            return true;
        }
    }
    return false;
}

int runExportImage(int argc, char** argv) {
    // Nothing is shown, so no display is needed; a platform the caller names is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ExportRequest request;
    const QString problem = parse(app.arguments().mid(1), request);
    if (!problem.isEmpty()) {
        std::fputs(usage, stderr);
        return fail(problem);
    }
    if (request.definitionsDirectory.isEmpty()) {
        request.definitionsDirectory = Preferences::read().definitionsDirectory;
    }

    ConsoleInteraction console;
    setInteraction(&console);
    DefinitionSet definitions; // outlives the editor, whose block types refer to it
    CanvasHandler editor;
    QString error = loadDesign(editor, definitions, request.design, request.definitionsDirectory);
    if (error.isEmpty() && !writeDesignPicture(editor, request.picture, request.options, error)) {
        error = QString("cannot write %1: %2").arg(request.picture, error);
    }
    setInteraction(nullptr);
    return error.isEmpty() ? 0 : fail(error);
}
