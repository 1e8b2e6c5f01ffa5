#pragma once

#include "designfile/designrecords.h"

#include <QByteArray>
#include <QString>

#include <string>

// Bytes from hex digits; spaces are ignored.
QByteArray hexBytes(const char* hex);
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// One length-prefixed record holding `content`.
QByteArray recordOf(const QByteArray& content);

// The walk over in-memory bytes as one letter per item: H header, S settings,
// B block, W wire, U unknown tag, E end of file, D damaged.
std::string walk(const QByteArray& bytes);
DesignRecords readRecords(const QByteArray& bytes);
// The bytes that writeDesignFile produces for `records`.
QByteArray designBytes(const DesignRecords& records);

// A small design with every record kind, variables and bends.
DesignRecords smallDesign();
