#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One rule of a dependency file: the files a run wrote, and the files it read to write them.
struct DependencyRule {
    QStringList targets;
    QStringList prerequisites;
};

// The rules in Make syntax, with the characters that Make and Ninja give a meaning (space, #,
// $, :) escaped. Nothing when a path holds a tab or a line break, which that syntax cannot
// express.
std::optional<QByteArray> dependencyFileText(const std::vector<DependencyRule>& rules);

// Writes the rules to path through a temporary file beside it, so that a reader never sees
// half a file; returns the reason on failure, else an empty string.
QString writeDependencyFile(const QString& path, const std::vector<DependencyRule>& rules);
