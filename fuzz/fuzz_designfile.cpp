// Fuzzes the record stream and the design record decoding on in-memory input.
//
// Beyond not crashing (or allocating what a length or count field claims without
// the bytes to back it), it checks what must hold for any input: a random-access
// and a sequential input read the same, a walk that has ended stays ended, and the
// records read, written back and read again give the same bytes and no damage.
#include "designfile/designfile.h"
#include "designfile/designrecordcodec.h"
#include "designfile/designrecordreader.h"
#include "designfile/recordbuffer.h"
#include "designfile/recordstream.h"

#include <QBuffer>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// An input of unknown size handed out a few bytes at a time, like a pipe.
class TrickleDevice : public QIODevice {
public:
    explicit TrickleDevice(const QByteArray& bytes) : m_bytes(bytes) { open(ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* to, qint64 max) override {
        const qint64 n = std::min<qint64>({max, 13, m_bytes.size() - m_at});
        std::memcpy(to, m_bytes.constData() + m_at, std::size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& m_bytes;
    qint64 m_at = 0;
};

// The file that the writer would produce for these records, built in memory.
QByteArray bytesOf(const DesignRecords& records) {
    QByteArray out;
    QBuffer device(&out);
    device.open(QIODevice::WriteOnly);
    RecordStream stream(device, RecordStream::Mode::Write);
    RecordBuffer buffer;
    auto put = [&](const auto& record) {
        encodeRecord(record, buffer);
        check(stream.writeRecord(buffer) == RecordStream::Ok);
    };
    put(HeaderRecord{});
    if (records.settings)
        put(*records.settings);
    for (const BlockRecord& b : records.blocks)
        put(b);
    for (const WireRecord& w : records.wires)
        put(w);
    return out;
}

DesignRecords readMemory(QByteArray bytes) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return readDesignFile(device);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    const DesignRecords read = readMemory(input);
    TrickleDevice pipe(input);
    const DesignRecords piped = readDesignFile(pipe);
    const QByteArray written = bytesOf(read);
    check(piped.damaged == read.damaged);
    check(bytesOf(piped) == written);

    const DesignRecords again = readMemory(written);
    check(!again.damaged);
    check(bytesOf(again) == written);

    QByteArray copy = input;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    DesignRecordReader reader(device);
    DesignRecordReader::Item item;
    do {
        item = reader.next();
    } while (item != DesignRecordReader::Item::EndOfFile &&
             item != DesignRecordReader::Item::Damaged);
    check(reader.next() == item);
    check((item == DesignRecordReader::Item::Damaged) == read.damaged);
    return 0;
}
