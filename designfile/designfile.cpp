#include "designfile/designfile.h"

#include "designfile/designfilewriter.h"
#include "designfile/designrecordreader.h"

namespace {

DesignRecords readAll(DesignRecordReader& reader) {
    DesignRecords records;
    for (;;) {
        switch (reader.next()) {
        case DesignRecordReader::Item::Settings:
            records.settings = reader.settings();
            break;
        case DesignRecordReader::Item::Block:
            records.blocks.push_back(reader.takeBlock());
            break;
        case DesignRecordReader::Item::Wire:
            records.wires.push_back(reader.takeWire());
            break;
        case DesignRecordReader::Item::Header:
        case DesignRecordReader::Item::UnknownTag:
            break;
        case DesignRecordReader::Item::Truncated:
        case DesignRecordReader::Item::Damaged:
            records.damaged = true;
            return records;
        case DesignRecordReader::Item::EndOfFile:
            return records;
        }
    }
}

} // namespace

DesignRecords readDesignFile(const QString& path) {
    DesignRecordReader reader(path);
    return readAll(reader);
}

DesignRecords readDesignFile(QIODevice& device) {
    DesignRecordReader reader(device);
    return readAll(reader);
}

bool writeDesignFile(const QString& path, const DesignRecords& records, QString* error) {
    DesignFileWriter writer;
    bool ok = writer.begin(path);
    if (ok && records.settings)
        ok = writer.write(*records.settings);
    for (std::size_t i = 0; ok && i < records.blocks.size(); ++i)
        ok = writer.write(records.blocks[i]);
    for (std::size_t i = 0; ok && i < records.wires.size(); ++i)
        ok = writer.write(records.wires[i]);
    ok = ok && writer.commit();
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}
