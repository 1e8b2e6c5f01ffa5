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
    QByteArray large(200000, '\0'); // larger than a sequential read's first step
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7);
    {
        RecordStream stream(path, RecordStream::Mode::Write);
        RecordWriter writer(stream);
        RecordBuffer b;
        EXPECT_EQ(writer.write(b), 0); // an empty record is just its length
        b.appendString("abc");
        EXPECT_EQ(writer.write(b), 0);
        b.reset();
        std::memcpy(b.fill(std::size_t(large.size())), large.constData(),
                    std::size_t(large.size()));
        EXPECT_EQ(writer.write(b), 0);
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
        EXPECT_EQ(reader.read(b), 2);
        EXPECT_EQ(reader.status(), 2);
        EXPECT_EQ(b.length(), 0u);
    };
    RecordStream fromFile(path, RecordStream::Mode::Read);
    readAll(fromFile);
    TrickleDevice pipe(file);
    RecordStream fromPipe(pipe, RecordStream::Mode::Read);
    readAll(fromPipe);
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
