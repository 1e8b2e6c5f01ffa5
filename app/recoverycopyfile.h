#pragma once

#include "designfile/designrecords.h"

#include <QDateTime>
#include <QString>
#include <optional>

// One recovery copy on disk, in a folder of its own session: NAME.des is the design, written by
// the normal design writer, and NAME.json beside it says which design file it belongs to and
// holds the digests of the copy's bytes, so that a copy cut short anywhere (even at a record
// boundary) is told from a whole one. Nothing here touches shared state: copies are written on
// a worker thread.

struct RecoveryCopyInfo {
    QString copyPath;       // NAME.des
    QString designPath;     // the design file it belongs to; empty when never saved
    QString definitionFile; // as the copy's settings record names it
    QDateTime written;      // UTC
};

// Writes the records as copy NAME in folder. The description goes first and lists the digest of
// the copy in place as well as the new one's, and the new copy replaces the old by a rename: a
// crash at any moment leaves a copy that matches its description. False when anything failed;
// the previous copy then stays.
bool writeRecoveryCopy(const QString& folder, const QString& name, const DesignRecords& records,
                       const QString& designPath, const QDateTime& written);

// Removes copy NAME and its description (and a half-made copy) from folder.
void removeRecoveryCopy(const QString& folder, const QString& name);

// Checks the copy at copyPath (NAME.des) against its description. Nullopt, with the reason in
// problem, when either is missing, cut short or not what the other says.
std::optional<RecoveryCopyInfo> readRecoveryCopy(const QString& copyPath, QString* problem);

// Moves the copy at copyPath (with its description, when there is one) into folder as NAME.
bool moveRecoveryCopy(const QString& copyPath, const QString& folder, const QString& name);

// The description that belongs to a copy.
QString recoveryDescriptionPath(const QString& copyPath);
