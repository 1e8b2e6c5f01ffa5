#pragma once

#include "designbytes.h"
#include "designfile/designrecords.h"

#include <QByteArray>
#include <QString>

#include <string>

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

DesignRecords readRecords(const QByteArray& bytes);
// The bytes that writeDesignFile produces for `records`.
QByteArray designBytes(const DesignRecords& records);

// A small design with every record kind, variables and bends.
DesignRecords smallDesign();
