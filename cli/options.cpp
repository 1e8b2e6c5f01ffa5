#include "options.h"

#include <iterator>

const char kUsage[] =
    "Usage: draftel-gen [--defs DIR] [--output BASE] [--depfile FILE] DESIGN.des...\n"
    "       draftel-gen [--defs DIR] [--output BASE] --list-outputs DESIGN.des...\n"
    "       draftel-gen [--defs DIR] --list-inputs DESIGN.des...\n"
    "       draftel-gen --check FILE.def...\n"
    "\n"
    "Generates the output files of designs, lists them, or checks definition files.\n"
    "\n"
    "  --defs DIR       definitions directory (default: the saved preference)\n"
    "  --output BASE    output file name (default: the file-name part of the one\n"
    "                   stored in the design, in the current directory); one design only\n"
    "  --depfile FILE   after generating, write a Make dependency file: the generated\n"
    "                   files depend on the designs and definition files read\n"
    "  --list-outputs   print the files that generation would write, and write nothing\n"
    "  --list-inputs    print the files that generation would read\n"
    "  --check          check definition files: errors and warnings as FILE:LINE: ...\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Several designs are each generated as if alone; the worst exit status is returned.\n"
    "Exit status: 0 on success, 1 on a circular definition, 2 on usage errors,\n"
    "definition errors, a design that cannot be loaded or a generation stopped\n"
    "by one of its bounds.\n";

namespace {

using Action = Options::Action;

struct OptionSpec {
    const char* name;
    bool takesValue;
    void (*apply)(Options& options, const QString& value);
    Action action; // for the options without a value that choose what to do
};

void noValue(Options&, const QString&) {}

// New options go here; a value is given as the next argument or after "=".
const OptionSpec kOptions[] = {
    {"--defs", true, [](Options& o, const QString& v) { o.definitionsDirectory = v; },
     Action::Generate},
    {"--output", true, [](Options& o, const QString& v) { o.outputBase = v; }, Action::Generate},
    {"--depfile", true, [](Options& o, const QString& v) { o.dependencyFile = v; },
     Action::Generate},
    {"--check", false, noValue, Action::Check},
    {"--list-outputs", false, noValue, Action::ListOutputs},
    {"--list-inputs", false, noValue, Action::ListInputs},
    {"--help", false, noValue, Action::Help},
    {"-h", false, noValue, Action::Help},
    {"--version", false, noValue, Action::Version},
};

const OptionSpec* findOption(const QString& name) {
    for (const OptionSpec& spec : kOptions) {
        if (name == QLatin1String(spec.name))
            return &spec;
    }
    return nullptr;
}

QString checkCombination(const Options& o) {
    if (o.files.isEmpty())
        return o.action == Action::Check ? "no definition file given" : "no design file given";
    if (o.action == Action::Check) {
        if (o.definitionsDirectory || o.outputBase || o.dependencyFile)
            return "--check takes definition files and no other options";
        return {};
    }
    if (o.outputBase && o.files.size() > 1)
        return "--output names the files of one design; it cannot be used with several";
    if (o.action != Action::Generate && o.dependencyFile)
        return "--depfile is written by generation, not with --list-outputs or --list-inputs";
    return {};
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments) {
    ParsedOptions parsed;
    Options& options = parsed.options;
    bool onlyFiles = false;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const QString& argument = *it;
        if (onlyFiles || !argument.startsWith('-') || argument == "-") {
            options.files << argument;
            continue;
        }
        if (argument == "--") {
            onlyFiles = true;
            continue;
        }
        const qsizetype equals = argument.startsWith("--") ? argument.indexOf('=') : -1;
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionSpec* spec = findOption(name);
        if (!spec) {
            parsed.error = QString("unknown option '%1'").arg(argument);
            return parsed;
        }
        if (!spec->takesValue) {
            if (equals >= 0) {
                parsed.error = QString("option '%1' takes no value").arg(name);
                return parsed;
            }
            if (spec->action == Action::Help || spec->action == Action::Version) {
                options.action = spec->action;
                return parsed;
            }
            if (options.action != Action::Generate && options.action != spec->action) {
                parsed.error = "choose one of --check, --list-outputs and --list-inputs";
                return parsed;
            }
            options.action = spec->action;
            continue;
        }
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (std::next(it) != arguments.end()) {
            value = *++it;
        } else {
            parsed.error = QString("option '%1' needs an argument").arg(name);
            return parsed;
        }
        spec->apply(options, value);
    }
    parsed.error = checkCombination(options);
    return parsed;
}
