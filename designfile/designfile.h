#pragma once

#include "designfile/designrecords.h"

#include <QString>

class QIODevice;

// Reads a whole design file (or an input device opened for reading) into plain
// records as stored, ending as DesignRecordReader does, for tools and tests that
// look at the records themselves; the header is not kept. Opening a design goes
// through readDesign, which also checks what the records say.
DesignRecords readDesignFile(const QString& path);
DesignRecords readDesignFile(QIODevice& device);

// Writes the header, the settings record (if any), the blocks and then the wires
// with a DesignFileWriter; on failure returns false and sets *error if given.
bool writeDesignFile(const QString& path, const DesignRecords& records, QString* error = nullptr);
