#include "app/recoverycopyfile.h"

#include "designfile/designfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cstdio>

namespace {
const char* const designKey = "design";
const char* const copiesKey = "copies";
const char* const digestKey = "sha256";
const char* const writtenKey = "written";
// A description is a few lines; anything much larger is not one.
const qint64 largestDescription = 1 << 16;

QString tr(const char* text) {
    return QCoreApplication::translate("RecoveryCopy", text);
}

QString basePath(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

QString withoutExtension(const QString& copyPath) {
    return copyPath.endsWith(".des") ? copyPath.chopped(4) : copyPath;
}

std::optional<QByteArray> readAll(const QString& path, qint64 largest = -1) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || (largest >= 0 && file.size() > largest)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

QString digestOf(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<QJsonObject> readDescription(const QString& path) {
    const std::optional<QByteArray> bytes = readAll(path, largestDescription);
    if (!bytes) {
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

// The entry of the description whose digest is that of bytes, or an empty object.
QJsonObject entryFor(const QJsonObject& description, const QByteArray& bytes) {
    const QString digest = digestOf(bytes);
    for (const QJsonValue& entry : description.value(copiesKey).toArray()) {
        if (entry.isObject() && entry.toObject().value(digestKey).toString() == digest) {
            return entry.toObject();
        }
    }
    return {};
}

bool renameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}
} // namespace

QString recoveryDescriptionPath(const QString& copyPath) {
    return withoutExtension(copyPath) + ".json";
}

bool writeRecoveryCopy(const QString& folder, const QString& name, const DesignRecords& records,
                       const QString& designPath, const QDateTime& written) {
    const QString base = basePath(folder, name);
    const QString staging = base + ".staging";
    if (!writeDesignFile(staging, records)) {
        return false;
    }
    const std::optional<QByteArray> bytes = readAll(staging);
    if (!bytes) {
        QFile::remove(staging);
        return false;
    }

    QJsonArray copies;
    // The copy in place stays whole until the rename below, so its entry stays listed.
    const std::optional<QByteArray> current = readAll(base + ".des");
    const std::optional<QJsonObject> description = readDescription(base + ".json");
    if (current && description) {
        const QJsonObject entry = entryFor(*description, *current);
        if (!entry.isEmpty()) {
            copies.append(entry);
        }
    }
    copies.append(QJsonObject{{digestKey, digestOf(*bytes)},
                              {writtenKey, written.toUTC().toString(Qt::ISODateWithMs)}});
    const QJsonObject next{{designKey, designPath}, {copiesKey, copies}};

    QSaveFile file(base + ".json");
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(next).toJson(QJsonDocument::Compact)) < 0 || !file.commit() ||
        !renameOver(staging, base + ".des")) {
        QFile::remove(staging);
        return false;
    }
    return true;
}

void removeRecoveryCopy(const QString& folder, const QString& name) {
    const QString base = basePath(folder, name);
    QFile::remove(base + ".des");
    QFile::remove(base + ".json");
    QFile::remove(base + ".staging");
}

std::optional<RecoveryCopyInfo> readRecoveryCopy(const QString& copyPath, QString* problem) {
    const auto fail = [problem](const QString& reason) {
        if (problem) {
            *problem = reason;
        }
        return std::nullopt;
    };
    const std::optional<QJsonObject> description =
        readDescription(recoveryDescriptionPath(copyPath));
    if (!description) {
        return fail(tr("its description is missing or damaged"));
    }
    std::optional<QByteArray> bytes = readAll(copyPath);
    if (!bytes) {
        return fail(tr("it cannot be read"));
    }
    const QJsonObject entry = entryFor(*description, *bytes);
    const QDateTime written =
        QDateTime::fromString(entry.value(writtenKey).toString(), Qt::ISODateWithMs);
    if (entry.isEmpty() || !written.isValid()) {
        return fail(tr("it is incomplete or damaged"));
    }
    QBuffer device(&*bytes);
    device.open(QIODevice::ReadOnly);
    const DesignRecords records = readDesignFile(device);
    if (records.damaged || !records.settings) {
        return fail(tr("it is not a whole design"));
    }
    RecoveryCopyInfo info;
    info.copyPath = copyPath;
    info.designPath = description->value(designKey).toString();
    info.definitionFile = QString::fromLatin1(records.settings->definitionFile);
    info.written = written.toUTC();
    return info;
}

bool moveRecoveryCopy(const QString& copyPath, const QString& folder, const QString& name) {
    const QString base = basePath(folder, name);
    if (!renameOver(copyPath, base + ".des")) {
        return false;
    }
    const QString description = recoveryDescriptionPath(copyPath);
    return !QFileInfo::exists(description) || renameOver(description, base + ".json");
}
