#include "designfile/designrecordreader.h"

#include "designfile/designrecordcodec.h"

DesignRecordReader::DesignRecordReader(const QString& path)
    : m_stream(path, RecordStream::Mode::Read), m_reader(m_stream) {}

DesignRecordReader::DesignRecordReader(QIODevice& device)
    : m_stream(device, RecordStream::Mode::Read), m_reader(m_stream) {}

DesignRecordReader::Item DesignRecordReader::end(Item why) {
    m_ended = why;
    return why;
}

DesignRecordReader::Item DesignRecordReader::next() {
    if (m_ended)
        return *m_ended;
    if (m_reader.read(m_buffer) != RecordStream::Ok)
        return end(m_stream.endedInsideRecord() ? Item::Truncated : Item::EndOfFile);
    const Item item = decode();
    if (item == Item::Damaged)
        return end(item);
    return item;
}

DesignRecordReader::Item DesignRecordReader::decode() {
    if (!m_headerRead) {
        m_headerRead = true;
        return decodeRecord(m_buffer, m_header) ? Item::Header : Item::Damaged;
    }
    if (!m_buffer.readU8(m_tag))
        return Item::Damaged;
    switch (m_tag) {
    case SettingsRecord::Tag:
        return decodeRecord(m_buffer, m_settings) ? Item::Settings : Item::Damaged;
    case BlockRecord::Tag:
        return decodeRecord(m_buffer, m_block) ? Item::Block : Item::Damaged;
    case WireRecord::Tag:
        return decodeRecord(m_buffer, m_wire) ? Item::Wire : Item::Damaged;
    default:
        return Item::UnknownTag;
    }
}
