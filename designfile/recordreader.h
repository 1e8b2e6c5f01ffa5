#pragma once

class RecordBuffer;
class RecordStream;

// Reads one record per call from a stream into a buffer (emptied first) and keeps
// the status of the last call.
class RecordReader {
public:
    explicit RecordReader(RecordStream& stream) : m_stream(stream) {}

    int read(RecordBuffer& buffer);
    int status() const { return m_status; }

private:
    RecordStream& m_stream;
    int m_status = 0;
};
