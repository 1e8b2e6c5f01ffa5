// draftel-gen: the command-line generator.
#include "definitions/definitionset.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "draftel_version.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitDefinitionError = 2;

const char kUsage[] = "Usage: draftel-gen [--defs DIR] [--output BASE] DESIGN.des\n"
                      "       draftel-gen --check FILE.def\n"
                      "\n"
                      "Generates the output files of a design, or checks a definition file.\n"
                      "\n"
                      "  --defs DIR      definitions directory (default: the saved preference)\n"
                      "  --output BASE   output file name (default: the one stored in the design)\n"
                      "  --check FILE    parse a definition file and report its first error\n"
                      "  --help          show this help and exit\n"
                      "  --version       show the version and exit\n"
                      "\n"
                      "Exit status: 0 on success, 1 on a circular definition, 2 on usage errors,\n"
                      "definition errors or a design that cannot be loaded.\n";

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

} // namespace

int main(int argc, char** argv) {
    const char* checkFile = nullptr;
    const char* design = nullptr;
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
        if (isCheck || !std::strcmp(arg, "--defs") || !std::strcmp(arg, "--output")) {
            if (i + 1 >= argc)
                return usageError(std::string("option '") + arg + "' needs an argument");
            if (isCheck) {
                if (checkFile)
                    return usageError("only one definition file can be checked at a time");
                checkFile = argv[++i];
            } else {
                generateOptions = true;
                ++i;
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
    std::fprintf(stderr, "draftel-gen: generating from design files is not available yet\n");
    return kExitUsage;
}
