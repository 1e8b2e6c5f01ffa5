#include "designfile/recordwriter.h"

#include "designfile/recordstream.h"

int RecordWriter::write(const RecordBuffer& buffer) {
    m_status = m_stream.writeRecord(buffer);
    return m_status;
}
