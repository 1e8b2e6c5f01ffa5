#pragma once

class RecordBuffer;
class RecordStream;

// Writes one record per call to a stream and keeps the status of the last call.
class RecordWriter {
public:
    explicit RecordWriter(RecordStream& stream) : m_stream(stream) {}

    int write(const RecordBuffer& buffer);
    int status() const { return m_status; }

private:
    RecordStream& m_stream;
    int m_status = 0;
};
