#include "commands.h"

#include "definitions/definitionset.h"
#include "depfile.h"
#include "diagnostics.h"
#include "generator/generatedfiles.h"
#include "generator/generator.h"
#include "preferences/preferences.h"
#include "recordeddesign.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

class StderrReporter : public CircularReporter {
public:
    StderrReporter(const RecordedDesign& design, const QString& designPath)
        : design_(design), designPath_(designPath) {}
    void circularDefinition(const BlockView* block) override {
        QString message = "The Design contains a circular definition";
        if (block) {
            message += QString(" (block %1, of type %2, at %3, %4)")
                           .arg(blockNumber(block))
                           .arg(QString::fromLatin1(block->typeName()))
                           .arg(block->x())
                           .arg(block->y());
        }
        reportError(designPath_, message + '.');
    }

private:
    int blockNumber(const BlockView* block) const {
        const std::vector<const BlockView*> blocks = design_.blocks();
        const auto found = std::find(blocks.begin(), blocks.end(), block);
        return found == blocks.end() ? -1 : int(found - blocks.begin());
    }
    const RecordedDesign& design_;
    const QString& designPath_;
};

// Loads the design and its definition file, or reports why they cannot be used.
bool load(RecordedDesign& design, const QString& path, const QString& definitionsDirectory) {
    const DesignVerdict verdict = design.load(path, definitionsDirectory);
    if (verdict.fine()) {
        return true;
    }
    // A damaged design is refused too: part of a design would generate part of the code.
    if (!verdict.definitionError) {
        reportError(path, verdict.message);
        return false;
    }
    std::vector<DefinitionDiagnostic> errors;
    std::copy_if(design.definitionDiagnostics().begin(), design.definitionDiagnostics().end(),
                 std::back_inserter(errors), [](const DefinitionDiagnostic& d) {
                     return d.severity == DefinitionDiagnostic::Severity::Error;
                 });
    if (errors.empty()) {
        // A stored name with a directory part is refused before any read, as unopenable.
        errors.push_back({DefinitionDiagnostic::Severity::Error, 0, "File open error"});
    }
    reportDefinitionDiagnostics(verdict.definitionPath, errors);
    return false;
}

// The name the design's generated files begin with, relative to the working directory.
std::optional<QString> outputBase(const RecordedDesign& design, const QString& designPath,
                                  const Options& options) {
    if (options.outputBase) {
        return *options.outputBase;
    }
    // The name stored in the design is someone else's choice: only its file-name part is used.
    const QString stored = design.outputFileName().section('/', -1).section('\\', -1);
    if (stored.isEmpty() || stored == "." || stored == "..") {
        reportError(designPath, "the design stores no output file name; give one with --output");
        return std::nullopt;
    }
    return stored;
}

int generate(const RecordedDesign& design, const QString& designPath, const QString& base) {
    StderrReporter reporter(design, designPath);
    const GenerateOutcome outcome =
        writeGeneratedFiles(design.definitions(), design.blocks(), base, reporter);
    switch (outcome.status) {
    case GenerateOutcome::Status::Success:
        return kExitSuccess;
    case GenerateOutcome::Status::Circular:
        report(designPath, 0, "note", QString("%1 was not written").arg(outcome.fileName));
        return kExitCircular;
    case GenerateOutcome::Status::Stopped:
        reportError(designPath, generationStoppedMessage(outcome.stop));
        report(designPath, 0, "note", QString("%1 was not written").arg(outcome.fileName));
        return kExitFailure;
    case GenerateOutcome::Status::WriteError:
        reportError(outcome.fileName, "cannot be written: " + outcome.reason);
        return kExitFailure;
    case GenerateOutcome::Status::UnknownType:
        reportError(designPath, "the design holds a block of an unknown type");
        return kExitFailure;
    }
    return kExitFailure;
}

// Prints each path once, in the order first met.
class PathPrinter {
public:
    void print(const QStringList& paths) {
        for (const QString& path : paths) {
            if (!printed_.contains(path)) {
                printed_.insert(path);
                std::printf("%s\n", QFile::encodeName(path).constData());
            }
        }
    }

private:
    QSet<QString> printed_;
};

} // namespace

int checkDefinitionFiles(const QStringList& files) {
    int worst = kExitSuccess;
    for (const QString& file : files) {
        DefinitionSet set;
        const std::vector<DefinitionDiagnostic> diagnostics = checkDefinitionFile(file, set);
        reportDefinitionDiagnostics(file, diagnostics);
        if (hasError(diagnostics)) {
            worst = kExitFailure;
        }
    }
    return worst;
}

int runDesigns(const Options& options) {
    const QString directory = options.definitionsDirectory
                                  ? *options.definitionsDirectory
                                  : Preferences::read().definitionsDirectory;
    int worst = kExitSuccess;
    std::vector<DependencyRule> rules;
    PathPrinter printer;
    for (const QString& designPath : options.files) {
        RecordedDesign design;
        if (!load(design, designPath, directory)) {
            worst = kExitFailure;
            continue;
        }
        const QStringList inputs{designPath, design.definitionPath()};
        if (options.action == Options::Action::ListInputs) {
            printer.print(inputs);
            continue;
        }
        const std::optional<QString> base = outputBase(design, designPath, options);
        if (!base) {
            worst = kExitFailure;
            continue;
        }
        QStringList outputs;
        for (const auto& sequence : design.definitions().sequences()) {
            const QString output = generatedFileName(*base, *sequence);
            if (!outputs.contains(output)) {
                outputs << output;
            }
        }
        if (options.action == Options::Action::ListOutputs) {
            printer.print(outputs);
            continue;
        }
        const int status = generate(design, designPath, *base);
        worst = std::max(worst, status);
        if (status == kExitSuccess) {
            rules.push_back({outputs, inputs});
        }
    }
    // Only a complete run has dependencies a build may rely on.
    if (options.dependencyFile && worst == kExitSuccess) {
        const QString error = writeDependencyFile(*options.dependencyFile, rules);
        if (!error.isEmpty()) {
            reportError(*options.dependencyFile, "cannot be written: " + error);
            return kExitFailure;
        }
    }
    return worst;
}
