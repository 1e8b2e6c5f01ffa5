#pragma once

#include "designfile/designrecords.h"

class RecordBuffer;

// Each encoder empties the buffer and fills it with one record, tag first.
void encodeRecord(const HeaderRecord& record, RecordBuffer& buffer);
void encodeRecord(const SettingsRecord& record, RecordBuffer& buffer);
void encodeRecord(const BlockRecord& record, RecordBuffer& buffer);
void encodeRecord(const WireRecord& record, RecordBuffer& buffer);

// Each decoder reads one record's fields from the buffer's read position (for the
// tagged kinds, just after the tag) and returns false when the record ends before
// its fields do; the record is then partly filled. Counts are checked against the
// bytes left before anything is allocated for them.
bool decodeRecord(RecordBuffer& buffer, HeaderRecord& record);
bool decodeRecord(RecordBuffer& buffer, SettingsRecord& record);
bool decodeRecord(RecordBuffer& buffer, BlockRecord& record);
bool decodeRecord(RecordBuffer& buffer, WireRecord& record);
