// draftel-gen: the command-line generator.
#include "definitions/definitionset.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "draftel_version.h"
#include "generator/generatedfiles.h"
#include "generator/generator.h"
#include "preferences/preferences.h"
#include "recordeddesign.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitDefinitionError = 2;
constexpr int kExitCircular = 1;
constexpr int kExitCannotGenerate = 2;
constexpr int kExitStopped = 2;

const char kUsage[] = "Usage: draftel-gen [--defs DIR] [--output BASE] DESIGN.des\n"
                      "       draftel-gen --check FILE.def\n"
                      "\n"
                      "Generates the output files of a design, or checks a definition file.\n"
                      "\n"
                      "  --defs DIR      definitions directory (default: the saved preference)\n"
                      "  --output BASE   output file name (default: the file-name part of the one\n"
                      "                  stored in the design, in the current directory)\n"
                      "  --check FILE    parse a definition file and report its first error\n"
                      "  --help          show this help and exit\n"
                      "  --version       show the version and exit\n"
                      "\n"
                      "Exit status: 0 on success, 1 on a circular definition, 2 on usage errors,\n"
                      "definition errors, a design that cannot be loaded or a generation stopped\n"
                      "by one of its bounds.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "draftel-gen: %s\nTry 'draftel-gen --help' for more information.\n",
                 message.c_str());
    return kExitUsage;
}

int check(const char* path) {
    auto source = std::make_unique<FileCharSource>(QFile::decodeName(path));
    Tokenizer tokenizer(std::move(source));
    DefinitionSet set;
    if (!set.read(tokenizer))
        return 0;
    std::fprintf(stderr, "%s\n", tokenizer.errorText());
    return kExitDefinitionError;
}

class StderrReporter : public CircularReporter {
public:
    explicit StderrReporter(const RecordedDesign& design) : design_(design) {}
    void circularDefinition(const BlockView* block) override {
        if (block) {
            std::fprintf(stderr,
                         "draftel-gen: The Design contains a circular definition "
                         "(block %d, of type %s, at %g, %g).\n",
                         blockNumber(block), block->typeName(), block->x(), block->y());
        } else {
            std::fprintf(stderr, "draftel-gen: The Design contains a circular definition.\n");
        }
    }

private:
    int blockNumber(const BlockView* block) const {
        const std::vector<const BlockView*> blocks = design_.blocks();
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (blocks[i] == block)
                return int(i);
        }
        return -1;
    }
    const RecordedDesign& design_;
};

int generate(const char* designPath, const char* definitionsDirectory, const char* outputBase) {
    const QString directory = definitionsDirectory ? QFile::decodeName(definitionsDirectory)
                                                   : Preferences::read().definitionsDirectory;
    RecordedDesign design;
    const DesignVerdict verdict = design.load(QFile::decodeName(designPath), directory);
    if (!verdict.fine()) {
        // A damaged design is refused too: part of a design would generate part of the code.
        std::fprintf(stderr, "draftel-gen: %s\n", verdict.message.toLocal8Bit().constData());
        return kExitCannotGenerate;
    }
    // A relative base is taken from the working directory, as the editor's file dialog would.
    // The name stored in the design is someone else's choice: only its file-name part is used.
    const QString storedName = design.outputFileName().section('/', -1).section('\\', -1);
    if (!outputBase && (storedName.isEmpty() || storedName == "." || storedName == "..")) {
        std::fprintf(stderr, "draftel-gen: the design stores no output file name; give one "
                             "with --output\n");
        return kExitCannotGenerate;
    }
    const QString base =
        QFileInfo(outputBase ? QFile::decodeName(outputBase) : storedName).absoluteFilePath();
    StderrReporter reporter(design);
    const GenerateOutcome outcome =
        writeGeneratedFiles(design.definitions(), design.blocks(), base, reporter);
    switch (outcome.status) {
    case GenerateOutcome::Status::Success:
        return 0;
    case GenerateOutcome::Status::Circular:
        std::fprintf(stderr, "draftel-gen: %s was not written\n",
                     QFile::encodeName(outcome.fileName).constData());
        return kExitCircular;
    case GenerateOutcome::Status::Stopped:
        std::fprintf(stderr, "draftel-gen: %s\ndraftel-gen: %s was not written\n",
                     generationStoppedMessage(outcome.stop).toLocal8Bit().constData(),
                     QFile::encodeName(outcome.fileName).constData());
        return kExitStopped;
    case GenerateOutcome::Status::WriteError:
        std::fprintf(stderr, "draftel-gen: cannot write %s: %s\n",
                     QFile::encodeName(outcome.fileName).constData(),
                     outcome.reason.toLocal8Bit().constData());
        return kExitCannotGenerate;
    case GenerateOutcome::Status::UnknownType:
        std::fprintf(stderr, "draftel-gen: the design holds a block of an unknown type\n");
        return kExitCannotGenerate;
    }
    return kExitCannotGenerate;
}

} // namespace

int main(int argc, char** argv) {
    const char* checkFile = nullptr;
    const char* design = nullptr;
    const char* definitionsDirectory = nullptr;
    const char* outputBase = nullptr;
    bool generateOptions = false;

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(arg, "--version")) {
            std::printf("draftel-gen %s\n", draftelVersion());
            return 0;
        }
        const bool isCheck = !std::strcmp(arg, "--check");
        const bool isDefs = !std::strcmp(arg, "--defs");
        if (isCheck || isDefs || !std::strcmp(arg, "--output")) {
            if (i + 1 >= argc)
                return usageError(std::string("option '") + arg + "' needs an argument");
            if (isCheck) {
                if (checkFile)
                    return usageError("only one definition file can be checked at a time");
                checkFile = argv[++i];
            } else {
                generateOptions = true;
                (isDefs ? definitionsDirectory : outputBase) = argv[++i];
            }
            continue;
        }
        if (arg[0] == '-' && arg[1] != '\0')
            return usageError(std::string("unknown option '") + arg + "'");
        if (design)
            return usageError("only one design file can be given");
        design = arg;
    }

    if (checkFile) {
        if (design || generateOptions)
            return usageError("--check takes one definition file and no other arguments");
        return check(checkFile);
    }
    if (!design)
        return usageError("no design file given");
    return generate(design, definitionsDirectory, outputBase);
}
