#pragma once

#include <QByteArray>
#include <QString>

// The payload that carries a block type from a toolbox button to the canvas of the same window:
// the editor's identity right-aligned in 12 characters, a space, the type name, a zero byte.
inline const char* const blockTypeMimeType = "octet-stream/x-trel-block";

QByteArray blockTypePayload(quint32 editorIdentity, const QString& typeName);
// Whether the payload's first 12 bytes, read as a decimal number with blanks around it and
// nothing else, equal the identity.
bool payloadIsFor(const QByteArray& payload, quint32 editorIdentity);
// The type name: from byte 13 up to the first zero byte.
QByteArray payloadTypeName(const QByteArray& payload);
