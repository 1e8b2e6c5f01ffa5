#include "designtesthelpers.h"

#include "designfile/recordbuffer.h"
#include "designfile/recordreader.h"
#include "designfile/recordstream.h"
#include "designfile/recordwriter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

namespace {

// Accepts only the first `capacity` bytes written, like a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 capacity) : m_left(capacity) { open(WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (m_left == 0)
            return -1;
        const qint64 n = std::min(len, m_left);
        m_left -= n;
        return n;
    }

private:
    qint64 m_left;
};

// An input of unknown size (like a pipe) that hands out a few bytes per read.
class TrickleDevice : public QIODevice {
public:
    explicit TrickleDevice(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* to, qint64 max) override {
        const qint64 n = std::min<qint64>({max, 7, m_bytes.size() - m_at});
        std::memcpy(to, m_bytes.constData() + m_at, std::size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

QByteArray contentOf(const RecordBuffer& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.length()));
}

} // namespace

TEST(RecordStream, RecordsRoundTripThroughFilesAndSequentialInput) {
    QTemporaryDir dir;
    const QString path = dir.filePath("records.bin");
    QByteArray large(200000, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7);
    {
        RecordStream stream(path, RecordStream::Mode::Write);
        ASSERT_TRUE(stream.isOpen());
        RecordWriter writer(stream);
        RecordBuffer b;
        EXPECT_EQ(writer.write(b), 0); // an empty record is just its length
        b.appendString("abc");
        EXPECT_EQ(writer.write(b), 0);
        b.reset();
        std::memcpy(b.fill(std::size_t(large.size())), large.constData(),
                    std::size_t(large.size()));
        EXPECT_EQ(writer.write(b), 0);
        EXPECT_EQ(writer.status(), 0);
    }
    const QByteArray file = readBytes(path);
    EXPECT_EQ(file.left(12), hexBytes("00000000 00000004 61626300"));
    EXPECT_EQ(file.size(), 12 + 4 + large.size());

    auto readAll = [&](RecordStream& stream) {
        RecordReader reader(stream);
        RecordBuffer b;
        EXPECT_EQ(reader.read(b), 0);
        EXPECT_EQ(b.length(), 0u);
        EXPECT_EQ(reader.read(b), 0);
        EXPECT_EQ(contentOf(b), QByteArray("abc", 4));
        EXPECT_EQ(reader.read(b), 0);
        EXPECT_EQ(contentOf(b), large);
        EXPECT_EQ(b.position(), 0u);
        EXPECT_EQ(reader.read(b), 2);
        EXPECT_EQ(reader.status(), 2);
        EXPECT_EQ(b.length(), 0u);
        EXPECT_EQ(reader.read(b), 2); // the end stays the end
    };
    RecordStream fromFile(path, RecordStream::Mode::Read);
    readAll(fromFile);
    TrickleDevice pipe(file);
    RecordStream fromPipe(pipe, RecordStream::Mode::Read);
    readAll(fromPipe);
}

TEST(RecordStream, ReadingFailsOnMissingShortAndWrongWayStreams) {
    QTemporaryDir dir;
    RecordBuffer b;
    RecordStream missing(dir.filePath("missing.des"), RecordStream::Mode::Read);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.errorString().isEmpty());
    EXPECT_EQ(missing.readRecord(b), 2);

    RecordStream directory(dir.path(), RecordStream::Mode::Read);
    EXPECT_EQ(directory.readRecord(b), 2);

    // Fewer than 4 length bytes, or fewer content bytes than the length says.
    for (const char* hex : {"", "00", "000000", "00000005 61626364", "00000001"}) {
        SCOPED_TRACE(hex);
        const QString path = dir.filePath("short.des");
        writeBytes(path, hexBytes(hex));
        RecordStream stream(path, RecordStream::Mode::Read);
        b.appendString("stale");
        EXPECT_EQ(stream.readRecord(b), 2);
        EXPECT_EQ(b.length(), 0u);
    }

    const QString path = dir.filePath("one.des");
    writeBytes(path, hexBytes("00000001 41"));
    {
        RecordStream reading(path, RecordStream::Mode::Read);
        b.appendU8(1);
        EXPECT_EQ(reading.writeRecord(b), 2);
    }
    EXPECT_EQ(readBytes(path), hexBytes("00000001 41"));
    RecordStream writing(path, RecordStream::Mode::Write);
    EXPECT_EQ(writing.readRecord(b), 2);

    QBuffer closed;
    RecordStream unopened(closed, RecordStream::Mode::Read);
    EXPECT_FALSE(unopened.isOpen());
    EXPECT_EQ(unopened.readRecord(b), 2);
}

// A length field larger than the rest of the input must not be believed: nothing
// of that size is allocated before the bytes are there.
TEST(RecordStream, OversizedLengthsAllocateNothing) {
    const QByteArray bytes = hexBytes("00000002 4142 FFFFFFF0 0102030405");
    QByteArray copy = bytes;
    QBuffer memory(&copy);
    memory.open(QIODevice::ReadOnly);
    RecordStream random(memory, RecordStream::Mode::Read);
    RecordBuffer b;
    EXPECT_EQ(random.readRecord(b), 0);
    EXPECT_EQ(random.readRecord(b), 2);
    EXPECT_EQ(b.room(), RecordBuffer::InitialRoom);

    TrickleDevice pipe(bytes);
    RecordStream sequential(pipe, RecordStream::Mode::Read);
    RecordBuffer c;
    EXPECT_EQ(sequential.readRecord(c), 0);
    EXPECT_EQ(sequential.readRecord(c), 2);
    EXPECT_LE(c.room(), 64u * 1024 + RecordBuffer::GrowBy);
}

TEST(RecordStream, ShortWritesFail) {
    RecordBuffer b;
    b.appendU8(1);
    b.appendU8(2);
    for (qint64 capacity : {0, 3, 5}) {
        FillingDevice full(capacity);
        RecordStream stream(full, RecordStream::Mode::Write);
        RecordWriter writer(stream);
        EXPECT_EQ(writer.write(b), 2) << capacity;
        EXPECT_EQ(writer.status(), 2);
    }
    FillingDevice roomForOne(6);
    RecordStream stream(roomForOne, RecordStream::Mode::Write);
    EXPECT_EQ(stream.writeRecord(b), 0);
    EXPECT_EQ(stream.writeRecord(b), 2);
}
