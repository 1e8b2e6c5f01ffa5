#include "designfile/designfilewriter.h"

#include "designfile/designrecordcodec.h"
#include "designfile/recordstream.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace {
// Large enough that the file sees few writes, small enough to cost little memory.
constexpr qint64 kPieceSize = 256 * 1024;
} // namespace

DesignFileWriter::DesignFileWriter() = default;

// The stream refers to the file, so it goes first; an uncommitted QSaveFile removes
// its temporary file and leaves the target alone.
DesignFileWriter::~DesignFileWriter() {
    m_stream.reset();
    m_file.reset();
}

void DesignFileWriter::fail(const QString& reason) {
    if (m_failed)
        return; // the first reason is the cause; later ones follow from it
    m_failed = true;
    m_error = reason;
    if (m_file)
        m_file->cancelWriting();
}

bool DesignFileWriter::begin(const QString& path) {
    m_stream.reset();
    m_pending.close();
    m_pending.setData(QByteArray());
    m_file = std::make_unique<QSaveFile>(path);
    m_failed = false;
    m_error.clear();
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(m_file->errorString());
        m_file.reset();
        return false;
    }
    m_pending.open(QIODevice::WriteOnly);
    m_stream = std::make_unique<RecordStream>(m_pending, RecordStream::Mode::Write);
    return writeRecord(HeaderRecord{});
}

template <typename Record> bool DesignFileWriter::writeRecord(const Record& record) {
    if (!m_stream) {
        fail(QCoreApplication::translate("DesignFileWriter", "No save has been started."));
        return false;
    }
    if (m_failed)
        return false;
    encodeRecord(record, m_buffer);
    if (m_buffer.failed()) {
        fail(QCoreApplication::translate("DesignFileWriter", "Not enough memory for a record."));
        return false;
    }
    if (m_stream->writeRecord(m_buffer) != RecordStream::Ok) {
        fail(QCoreApplication::translate("DesignFileWriter", "Not enough memory for a record."));
        return false;
    }
    return m_pending.pos() < kPieceSize || drain();
}

// A short write is retried, so that a full disk shows up as the file's error with the
// system's reason rather than as a short count.
bool DesignFileWriter::drain() {
    const QByteArray& bytes = m_pending.data();
    for (qint64 at = 0; at < bytes.size();) {
        const qint64 written = m_file->write(bytes.constData() + at, bytes.size() - at);
        if (written <= 0) {
            fail(m_file->errorString());
            return false;
        }
        at += written;
    }
    m_pending.buffer().resize(0);
    m_pending.seek(0);
    return true;
}

bool DesignFileWriter::write(const SettingsRecord& record) {
    return writeRecord(record);
}

bool DesignFileWriter::write(const BlockRecord& record) {
    return writeRecord(record);
}

bool DesignFileWriter::write(const WireRecord& record) {
    return writeRecord(record);
}

bool DesignFileWriter::commit() {
    if (!m_file) {
        fail(QCoreApplication::translate("DesignFileWriter", "No save has been started."));
        return false;
    }
    m_stream.reset();
    const bool ok = !m_failed && drain() && m_file->commit();
    if (!ok)
        fail(m_file->errorString());
    m_file.reset();
    return ok;
}
