#pragma once

#include "definitions/definitioncheck.h"

#include <QString>

#include <vector>

// Messages on standard error in the form that editors and IDEs jump to:
// FILE:LINE: SEVERITY: MESSAGE, or FILE: SEVERITY: MESSAGE when no line applies (line 0).
void report(const QString& file, int line, const char* severity, const QString& message);

inline void reportError(const QString& file, const QString& message) {
    report(file, 0, "error", message);
}

void reportDefinitionDiagnostics(const QString& file,
                                 const std::vector<DefinitionDiagnostic>& diagnostics);
