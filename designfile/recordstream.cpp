#include "designfile/recordstream.h"

#include "designfile/recordbuffer.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>

namespace {
// A sequential input's size is unknown: its content is read in steps growing from
// this size, so a false length costs no more memory than the bytes that do arrive.
constexpr std::size_t kFirstStep = 64 * 1024;
} // namespace

RecordStream::RecordStream(const QString& path, Mode mode) : m_mode(mode) {
    auto file = std::make_unique<QFile>(path);
    const QIODevice::OpenMode how =
        mode == Mode::Read ? QIODevice::ReadOnly : QIODevice::WriteOnly | QIODevice::Truncate;
    if (!file->open(how)) {
        m_openError = file->errorString();
        return;
    }
    m_file = std::move(file);
    attach(*m_file, mode);
}

RecordStream::RecordStream(QIODevice& device, Mode mode) : m_mode(mode) {
    attach(device, mode);
}

RecordStream::~RecordStream() = default;

void RecordStream::attach(QIODevice& device, Mode mode) {
    const bool usable = mode == Mode::Read ? device.isReadable() : device.isWritable();
    if (!usable) {
        m_openError =
            QStringLiteral("The device is not open for %1")
                .arg(mode == Mode::Read ? QStringLiteral("reading") : QStringLiteral("writing"));
        return;
    }
    m_device = &device;
    if (mode == Mode::Read && !device.isSequential())
        m_size = device.size();
}

QString RecordStream::errorString() const {
    return m_device ? m_device->errorString() : m_openError;
}

int RecordStream::writeRecord(const RecordBuffer& buffer) {
    if (!m_device || m_mode != Mode::Write || buffer.failed())
        return Failed;
    const std::size_t length = buffer.length();
    const char prefix[4] = {char(length >> 24), char(length >> 16), char(length >> 8),
                            char(length)};
    if (!writeExactly(prefix, 4) ||
        !writeExactly(reinterpret_cast<const char*>(buffer.data()), length))
        return Failed;
    return Ok;
}

// A short write is retried, so that a full disk shows up as the device's error
// (with its reason) rather than as a silent short count.
bool RecordStream::writeExactly(const char* from, std::size_t count) {
    while (count > 0) {
        const qint64 n = m_device->write(from, qint64(count));
        if (n <= 0)
            return false;
        from += n;
        count -= std::size_t(n);
    }
    return true;
}

std::size_t RecordStream::readUpTo(char* to, std::size_t count) {
    std::size_t have = 0;
    while (have < count) {
        const qint64 n = m_device->read(to + have, qint64(count - have));
        if (n <= 0)
            break;
        have += std::size_t(n);
    }
    return have;
}

bool RecordStream::readContent(RecordBuffer& buffer, std::size_t length) {
    if (m_size >= 0) {
        if (qint64(length) > m_size - m_device->pos())
            return false; // a truncated last record: allocate nothing for it
        std::uint8_t* to = buffer.fill(length);
        return to && readExactly(reinterpret_cast<char*>(to), length);
    }
    std::size_t have = 0;
    std::size_t step = std::min(length, kFirstStep);
    while (have < length) {
        std::uint8_t* to = buffer.fill(have + step);
        if (!to || !readExactly(reinterpret_cast<char*>(to + have), step))
            return false;
        have += step;
        step = std::min(length - have, have);
    }
    return true;
}

int RecordStream::readRecord(RecordBuffer& buffer) {
    buffer.reset();
    m_endedInsideRecord = false;
    if (!m_device || m_mode != Mode::Read)
        return Failed;
    unsigned char prefix[4];
    const std::size_t prefixRead = readUpTo(reinterpret_cast<char*>(prefix), 4);
    if (prefixRead < 4) {
        m_endedInsideRecord = prefixRead > 0;
        return Failed;
    }
    const std::size_t length = std::size_t(prefix[0]) << 24 | std::size_t(prefix[1]) << 16 |
                               std::size_t(prefix[2]) << 8 | std::size_t(prefix[3]);
    if (!readContent(buffer, length)) {
        buffer.reset();
        m_endedInsideRecord = true;
        return Failed;
    }
    return Ok;
}
