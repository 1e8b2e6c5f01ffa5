#pragma once

#include "designfile/designrecords.h"
#include "designfile/recordbuffer.h"
#include "designfile/recordreader.h"
#include "designfile/recordstream.h"

#include <QString>

class QIODevice;

// Walks a design file record by record, in file order. The first record is the
// header; every later one starts with a tag byte naming its kind.
//
// The walk ends with EndOfFile at the end of the input (at once for a file that is
// missing, unreadable or empty), with Truncated when the input stops inside a
// record, and with Damaged at a record too short for the fields its tag calls for
// (or a string without its zero byte inside the record): what came before is good,
// what follows is not read. Once ended, next() keeps giving the same answer. The
// records are only decoded here; what a design may contain is checked by readDesign.
class DesignRecordReader {
public:
    enum class Item { Header, Settings, Block, Wire, UnknownTag, EndOfFile, Truncated, Damaged };

    explicit DesignRecordReader(const QString& path);
    // Reads from a device that the caller opened for reading and keeps owning.
    explicit DesignRecordReader(QIODevice& device);

    Item next();

    // The record that next() last decoded, valid until the next call.
    const HeaderRecord& header() const { return m_header; }
    const SettingsRecord& settings() const { return m_settings; }
    const BlockRecord& block() const { return m_block; }
    const WireRecord& wire() const { return m_wire; }
    // The tag of a record of unknown kind (its content is skipped).
    std::uint8_t unknownTag() const { return m_tag; }
    // Why the file could not be opened, when it could not.
    QString openError() const { return m_stream.isOpen() ? QString() : m_stream.errorString(); }

    // Moves the last decoded block or wire out, for keeping it without a copy.
    BlockRecord takeBlock() { return std::move(m_block); }
    WireRecord takeWire() { return std::move(m_wire); }

private:
    Item decode();
    Item end(Item why);

    RecordStream m_stream;
    RecordReader m_reader;
    RecordBuffer m_buffer;
    bool m_headerRead = false;
    std::optional<Item> m_ended;
    std::uint8_t m_tag = 0;
    HeaderRecord m_header;
    SettingsRecord m_settings;
    BlockRecord m_block;
    WireRecord m_wire;
};
