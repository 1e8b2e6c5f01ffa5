#include "designfile/recordreader.h"

#include "designfile/recordbuffer.h"
#include "designfile/recordstream.h"

int RecordReader::read(RecordBuffer& buffer) {
    buffer.reset();
    m_status = m_stream.readRecord(buffer);
    return m_status;
}
