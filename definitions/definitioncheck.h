#pragma once

#include <QString>

#include <string>
#include <vector>

class DefinitionSet;

// One finding about a definition file, for tools that report in the form editors jump to.
struct DefinitionDiagnostic {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    int line = 0;        // 0: about the file as a whole
    std::string message; // the reader's text, without its " Line: N" suffix

    // The text as the reader records it, with " Line: N" unless the line is 0.
    std::string text() const;
};

// Reads the definition file at path into the set and returns its diagnostics in line order:
// the reader's error, if any (the read stopped there), and warnings about text that reads
// fine but is almost certainly a mistake, such as a block comment that is never closed.
std::vector<DefinitionDiagnostic> checkDefinitionFile(const QString& path, DefinitionSet& set);

bool hasError(const std::vector<DefinitionDiagnostic>& diagnostics);
