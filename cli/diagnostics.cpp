#include "diagnostics.h"

#include <QFile>

#include <cstdio>

void report(const QString& file, int line, const char* severity, const QString& message) {
    const QByteArray name = QFile::encodeName(file);
    const QByteArray text = message.toLocal8Bit();
    if (line > 0)
        std::fprintf(stderr, "%s:%d: %s: %s\n", name.constData(), line, severity, text.constData());
    else
        std::fprintf(stderr, "%s: %s: %s\n", name.constData(), severity, text.constData());
}

void reportDefinitionDiagnostics(const QString& file,
                                 const std::vector<DefinitionDiagnostic>& diagnostics) {
    for (const DefinitionDiagnostic& d : diagnostics) {
        const bool error = d.severity == DefinitionDiagnostic::Severity::Error;
        report(file, d.line, error ? "error" : "warning", QString::fromLatin1(d.message));
    }
}
