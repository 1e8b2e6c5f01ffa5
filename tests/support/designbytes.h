#pragma once

#include "designfile/designrecordcodec.h"
#include "designfile/designrecords.h"
#include "designfile/recordbuffer.h"

#include <QByteArray>

// Bytes from hex digits; spaces are ignored.
inline QByteArray hexBytes(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex));
}

// One length-prefixed record holding content.
inline QByteArray recordOf(const QByteArray& content) {
    const auto n = quint32(content.size());
    QByteArray out;
    out.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return out + content;
}

// One record as a design file holds it, length first.
template <typename Record> QByteArray recordBytes(const Record& record) {
    RecordBuffer buffer;
    encodeRecord(record, buffer);
    return recordOf(
        QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(buffer.length())));
}
