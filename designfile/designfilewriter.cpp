#include "designfile/designfilewriter.h"

#include "designfile/designrecordcodec.h"
#include "designfile/recordstream.h"

#include <QCoreApplication>
#include <QSaveFile>

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
    m_file = std::make_unique<QSaveFile>(path);
    m_failed = false;
    m_error.clear();
    if (!m_file->open(QIODevice::WriteOnly)) {
        fail(m_file->errorString());
        m_file.reset();
        return false;
    }
    m_stream = std::make_unique<RecordStream>(*m_file, RecordStream::Mode::Write);
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
        fail(m_file->errorString());
        return false;
    }
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
    // QSaveFile::commit() does not report a failed flush of what its buffer still holds, so on
    // a full disk it would put a cut-off file in place of the old one: flush and check first.
    if (!m_failed && (!m_file->flush() || m_file->error() != QFileDevice::NoError))
        fail(m_file->errorString());
    const bool ok = !m_failed && m_file->commit();
    if (!ok)
        fail(m_file->errorString());
    m_file.reset();
    return ok;
}
