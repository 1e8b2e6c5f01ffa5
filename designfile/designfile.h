#pragma once

#include "designfile/designrecords.h"

#include <QString>

class QIODevice;

// Reads a whole design file (or an input device opened for reading) into plain
// records, ending as DesignRecordReader does. The header is not kept.
DesignRecords readDesignFile(const QString& path);
DesignRecords readDesignFile(QIODevice& device);

// Writes the header, the settings record (if any), the blocks and then the wires
// with a DesignFileWriter; on failure returns false and sets *error if given.
bool writeDesignFile(const QString& path, const DesignRecords& records, QString* error = nullptr);
