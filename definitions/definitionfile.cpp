#include "definitions/definitionfile.h"

#include "definitions/definitionset.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"

#include <QCoreApplication>

#include <memory>

QString readDefinitionFile(const QString& path, DefinitionSet& set) {
    Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
    if (!set.read(tokenizer)) {
        return QString();
    }
    return definitionErrorMessage(path, QString::fromLatin1(tokenizer.errorText()));
}

QString definitionErrorMessage(const QString& path, const QString& error) {
    // The window's translation context, where the editor has always shown this text.
    return QCoreApplication::translate("MainUI", "File: %1\nError: \"%2\"").arg(path, error);
}
