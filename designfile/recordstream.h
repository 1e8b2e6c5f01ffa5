#pragma once

#include <QString>

#include <cstddef>
#include <memory>

class QFile;
class QIODevice;
class RecordBuffer;

// A file of length-prefixed records: each record is a 4-byte length, most
// significant byte first, followed by exactly that many content bytes. The stream
// is open for either reading or writing from its creation to its destruction.
//
// Operations return Ok (0) or Failed (2). A read fails at the end of the input, on
// a short length or content, and on a length larger than the rest of a file (known
// before anything is allocated); a failed read leaves the buffer empty, and
// endedInsideRecord() tells a clean end from an input that stops part way through.
class RecordStream {
public:
    enum class Mode { Read, Write };
    static constexpr int Ok = 0;
    static constexpr int Failed = 2;

    // Opens the file in binary mode; for writing it is created or emptied.
    RecordStream(const QString& path, Mode mode);
    // Uses a device that the caller has opened (readable or writable as `mode`
    // asks) and keeps owning, for example a QBuffer or a QSaveFile.
    RecordStream(QIODevice& device, Mode mode);
    ~RecordStream();
    RecordStream(const RecordStream&) = delete;
    RecordStream& operator=(const RecordStream&) = delete;

    bool isOpen() const { return m_device != nullptr; }
    int writeRecord(const RecordBuffer& buffer);
    int readRecord(RecordBuffer& buffer);
    // Whether the last failed read had begun a record: a cut-off length or content.
    bool endedInsideRecord() const { return m_endedInsideRecord; }
    // The device's reason for the last failure, if it gave one.
    QString errorString() const;

private:
    void attach(QIODevice& device, Mode mode);
    bool writeExactly(const char* from, std::size_t count);
    // The bytes read, fewer than count at the end of the input or on an error.
    std::size_t readUpTo(char* to, std::size_t count);
    bool readExactly(char* to, std::size_t count) { return readUpTo(to, count) == count; }
    bool readContent(RecordBuffer& buffer, std::size_t length);

    std::unique_ptr<QFile> m_file; // owned when opened by path
    QIODevice* m_device = nullptr; // null when not open as asked
    Mode m_mode;
    qint64 m_size = -1; // size of a random-access input at opening, -1 for a sequential one
    QString m_openError;
    bool m_endedInsideRecord = false;
};
