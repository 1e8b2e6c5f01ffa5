#include "definitions/definitioncheck.h"

#include "definitions/definitionset.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"

#include <algorithm>
#include <memory>
#include <string>

std::vector<DefinitionDiagnostic> checkDefinitionFile(const QString& path, DefinitionSet& set) {
    Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
    std::vector<DefinitionDiagnostic> diagnostics;
    if (set.read(tokenizer)) {
        diagnostics.push_back({DefinitionDiagnostic::Severity::Error, tokenizer.errorLine(),
                               tokenizer.errorMessage()});
    }
    if (const int line = tokenizer.unclosedCommentLine()) {
        diagnostics.push_back({DefinitionDiagnostic::Severity::Warning, line,
                               "This block comment is never closed: the rest of the file is "
                               "ignored."});
    }
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const DefinitionDiagnostic& a, const DefinitionDiagnostic& b) {
                         return a.line < b.line;
                     });
    return diagnostics;
}

std::string DefinitionDiagnostic::text() const {
    return line == 0 ? message : message + " Line: " + std::to_string(line);
}

bool hasError(const std::vector<DefinitionDiagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(), [](const DefinitionDiagnostic& d) {
        return d.severity == DefinitionDiagnostic::Severity::Error;
    });
}
