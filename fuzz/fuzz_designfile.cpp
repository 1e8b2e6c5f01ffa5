// Fuzzes the design reader, the record stream and the design record decoding on in-memory input.
//
// Beyond not crashing (or allocating what a length or count field claims without the bytes to
// back it), it checks what must hold for any input:
// - the reader's verdict comes with a message exactly when the design is not fine, and what it
//   hands over keeps its promises (known types, finite positions in range, wires between blocks
//   handed over before, no input fed twice);
// - a random-access and a sequential input give the same verdict and the same hand-over;
// - a fine design, written back from what was handed over, reads as fine and the same again;
// - the plain records read, written back and read again give the same bytes and no damage.
#include "definitions/catalogue.h"
#include "definitions/definitionset.h"
#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"
#include "definitions/toolboxentry.h"
#include "designfile/designfile.h"
#include "designfile/designreader.h"
#include "designfile/designrecordcodec.h"
#include "designfile/designrecordreader.h"
#include "designfile/recordbuffer.h"
#include "designfile/recordstream.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// The block types the seed designs use, with inputs, outputs, both and neither.
const char* const kDefinitions = "block AND ( q, r : a, b ) { edit name \"g\" }\n"
                                 "block OUT ( : in ) { }\n"
                                 "block A ( o : i ) { }\n"
                                 "block NOTE ( : ) { edit text \"\" }\n";

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

// Keeps what the reader hands over, as records, and checks each promise as it arrives.
class Receiver : public DesignReceiver {
public:
    QString loadDefinitions(const QString&) override {
        Tokenizer tokenizer(std::make_unique<MemoryCharSource>(kDefinitions));
        check(!m_definitions.read(tokenizer));
        m_types = makeCatalogue(m_definitions);
        check(!design.settings);
        return QString();
    }
    ToolboxEntry* blockType(const std::string& name) override {
        for (const auto& type : m_types) {
            if (type->name() == name)
                return type.get();
        }
        return nullptr;
    }
    void settings(const SettingsRecord& record) override { design.settings = record; }
    void block(const BlockRecord& record, ToolboxEntry& type) override {
        check(design.settings && type.name() == record.type);
        for (float v : {record.x, record.y})
            check(std::isfinite(v) && std::fabs(v) <= 1000000);
        check(std::isfinite(record.z));
        check(m_numbers.insert(record.number).second);
        design.blocks.push_back(record);
    }
    void wire(const WireRecord& record, std::size_t first, std::size_t second) override {
        check(first < design.blocks.size() && second < design.blocks.size());
        check(design.blocks[first].number == record.firstBlock);
        check(design.blocks[second].number == record.secondBlock);
        const bool firstIsInput = record.firstEndIsInput();
        const std::size_t input = firstIsInput ? first : second;
        const std::uint32_t port = firstIsInput ? record.firstPort : record.secondPort;
        check(m_fedInputs.insert({input, port}).second);
        for (const WirePoint& p : record.points)
            check(std::abs(p.x) <= 1000000 && std::abs(p.y) <= 1000000);
        design.wires.push_back(record);
    }

    DesignRecords design;

private:
    DefinitionSet m_definitions;
    std::vector<std::unique_ptr<ToolboxEntry>> m_types;
    std::set<std::uint32_t> m_numbers;
    std::set<std::pair<std::size_t, std::uint32_t>> m_fedInputs;
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

DesignVerdict walkMemory(QByteArray bytes, Receiver& receiver) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return readDesign(device, "fuzzed.des", "defs", receiver);
}

void checkReader(const QByteArray& input) {
    Receiver fromMemory;
    const DesignVerdict verdict = walkMemory(input, fromMemory);
    check(verdict.message.isEmpty() == verdict.fine());
    check(!verdict.definitionError || verdict.refused());
    check(verdict.refused() || fromMemory.design.settings.has_value());

    Receiver fromPipe;
    TrickleDevice pipe(input);
    const DesignVerdict piped = readDesign(pipe, "fuzzed.des", "defs", fromPipe);
    check(piped.kind == verdict.kind && piped.message == verdict.message);
    check(fromPipe.design == fromMemory.design);

    if (verdict.fine()) {
        Receiver again;
        check(walkMemory(bytesOf(fromMemory.design), again).fine());
        check(again.design == fromMemory.design);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    checkReader(input);

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
    using Item = DesignRecordReader::Item;
    Item item;
    do {
        item = reader.next();
    } while (item != Item::EndOfFile && item != Item::Truncated && item != Item::Damaged);
    check(reader.next() == item);
    check((item != Item::EndOfFile) == read.damaged);
    return 0;
}
