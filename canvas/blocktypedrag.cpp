#include "canvas/blocktypedrag.h"

QByteArray blockTypePayload(quint32 editorIdentity, const QString& typeName) {
    QByteArray payload = QString("%1 %2").arg(editorIdentity, 12).arg(typeName).toLatin1();
    payload.append('\0');
    return payload;
}

bool payloadIsFor(const QByteArray& payload, quint32 editorIdentity) {
    const QByteArray field = payload.left(12).trimmed();
    if (field.isEmpty()) {
        return false;
    }
    for (char c : field) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    bool ok = false;
    const qulonglong value = field.toULongLong(&ok);
    return ok && value == editorIdentity;
}

QByteArray payloadTypeName(const QByteArray& payload) {
    if (payload.size() <= 13) {
        return {};
    }
    const QByteArray rest = payload.mid(13);
    const qsizetype zero = rest.indexOf('\0');
    return zero < 0 ? rest : rest.left(zero);
}
