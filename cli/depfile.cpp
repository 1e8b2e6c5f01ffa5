#include "depfile.h"

#include <QByteArrayList>
#include <QFile>
#include <QSaveFile>

namespace {

// A backslash is literal except before a space, where 2N+1 backslashes stand for N of them and
// a space: so the backslashes right before a space are doubled, and the space escaped. A tab
// or a line break cannot be written at all.
std::optional<QByteArray> escaped(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    QByteArray out;
    out.reserve(bytes.size() + 8);
    qsizetype backslashes = 0;
    for (const char c : bytes) {
        if (c == '\n' || c == '\r' || c == '\t' || c == '\0')
            return std::nullopt;
        if (c == ' ')
            out.append(backslashes + 1, '\\');
        else if (c == '#' || c == ':')
            out.append('\\');
        else if (c == '$')
            out.append('$');
        backslashes = c == '\\' ? backslashes + 1 : 0;
        out.append(c);
    }
    return out;
}

} // namespace

std::optional<QByteArray> dependencyFileText(const std::vector<DependencyRule>& rules) {
    QByteArray text;
    for (const DependencyRule& rule : rules) {
        QByteArrayList targets;
        for (const QString& target : rule.targets) {
            const std::optional<QByteArray> word = escaped(target);
            if (!word)
                return std::nullopt;
            targets << *word;
        }
        text += targets.join(' ') + ':';
        for (const QString& prerequisite : rule.prerequisites) {
            const std::optional<QByteArray> word = escaped(prerequisite);
            if (!word)
                return std::nullopt;
            text += " \\\n  " + *word;
        }
        text += '\n';
    }
    return text;
}

QString writeDependencyFile(const QString& path, const std::vector<DependencyRule>& rules) {
    const std::optional<QByteArray> text = dependencyFileText(rules);
    if (!text)
        return QStringLiteral("a path holds a tab or a line break, which a dependency file "
                              "cannot express");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*text) != text->size() || !file.commit())
        return file.errorString();
    return QString();
}
