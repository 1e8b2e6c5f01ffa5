#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What draftel-gen was asked to do, from its command line.
struct Options {
    enum class Action { Generate, Check, ListOutputs, ListInputs, Help, Version };
    Action action = Action::Generate;
    std::optional<QString> definitionsDirectory; // none: the saved preference
    std::optional<QString> outputBase;           // none: the name stored in the design
    std::optional<QString> dependencyFile;
    QStringList files; // designs, or definition files for --check
};

struct ParsedOptions {
    Options options;
    QString error; // a usage error, when not empty
};

// Reads the arguments after the program name. --help and --version end the reading.
ParsedOptions parseOptions(const QStringList& arguments);

extern const char kUsage[];
