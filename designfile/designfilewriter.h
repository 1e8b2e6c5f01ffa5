#pragma once

#include "designfile/designrecords.h"
#include "designfile/recordbuffer.h"

#include <QBuffer>
#include <QString>

#include <memory>

class QSaveFile;
class RecordStream;

// Writes a design file: begin(path), then write() the settings, block and wire
// records in the order they belong in the file, then commit().
//
// The records go to a temporary file beside the target, which replaces the target
// only when commit() has written everything; a save that fails on the way (a
// directory that cannot be written, a full disk) reports false with the system's
// reason and leaves any previous file as it was. Destroying the writer before
// commit() abandons the save the same way.
//
// The records gather in memory and reach the file in large pieces, written unbuffered
// and each checked: Qt's own write buffer would report a failed flush without the
// system's reason, and QSaveFile::commit() not at all.
class DesignFileWriter {
public:
    DesignFileWriter();
    ~DesignFileWriter();
    DesignFileWriter(const DesignFileWriter&) = delete;
    DesignFileWriter& operator=(const DesignFileWriter&) = delete;

    // Starts a save to `path` and writes the header record. False (with a reason)
    // when the temporary file cannot be created.
    bool begin(const QString& path);
    // False once anything has failed since begin(); later writes are then ignored.
    bool write(const SettingsRecord& record);
    bool write(const BlockRecord& record);
    bool write(const WireRecord& record);
    // Replaces the target with everything written; false (with a reason) if any
    // step since begin() failed, in which case the target is untouched.
    bool commit();

    // Why the last begin(), write() or commit() failed; empty after success.
    QString errorString() const { return m_error; }

private:
    template <typename Record> bool writeRecord(const Record& record);
    // Writes what has gathered to the file; false (with the reason) when it cannot.
    bool drain();
    void fail(const QString& reason);

    std::unique_ptr<QSaveFile> m_file;
    QBuffer m_pending;                      // records not yet in the file
    std::unique_ptr<RecordStream> m_stream; // into m_pending
    RecordBuffer m_buffer;
    QString m_error;
    bool m_failed = false;
};
