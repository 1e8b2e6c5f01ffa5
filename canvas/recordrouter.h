#pragma once

#include <unordered_map>
#include <vector>

class UndoRecord;

// What one undo record points at: the items it holds and the removers of the items it lost.
struct RecordReferences {
    std::vector<const void*> items;
    std::vector<const UndoRecord*> removers;
};

// Passes the removal and re-creation announcements on to the records of a large collection that
// they concern, found through hashes, so that announcing every item of a large deletion to a
// record holding thousands of others costs no more than a look-up each.
class RecordRouter {
public:
    void add(UndoRecord* record);
    // Before the record changes hands or goes: forgets where it was filed.
    void remove(UndoRecord* record);
    // A holder of the item forgets it and waits for the remover.
    void removed(UndoRecord* remover, void* item);
    // The records that waited for the remover take the new item.
    void restored(UndoRecord* remover, void* item);
    void references(RecordReferences& into) const;

private:
    std::unordered_map<const void*, std::vector<UndoRecord*>> holders_;
    std::unordered_map<const UndoRecord*, std::vector<UndoRecord*>> waiting_;
};
