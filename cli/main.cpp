// draftel-gen: the command-line generator.
#include "commands.h"
#include "draftel_version.h"
#include "options.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QFile::decodeName(argv[i]);
    }
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "draftel-gen: %s\nTry 'draftel-gen --help' for more information.\n",
                     parsed.error.toLocal8Bit().constData());
        return kExitFailure;
    }
    switch (parsed.options.action) {
    case Options::Action::Help:
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    case Options::Action::Version:
        std::printf("draftel-gen %s\n", draftelVersion());
        return kExitSuccess;
    case Options::Action::Check:
        return checkDefinitionFiles(parsed.options.files);
    default:
        return runDesigns(parsed.options);
    }
}
