#include "canvas/recordrouter.h"

#include "canvas/undorecords.h"

#include <algorithm>

namespace {
template <typename Key>
void file(std::unordered_map<Key, std::vector<UndoRecord*>>& map, Key key, UndoRecord* record) {
    std::vector<UndoRecord*>& records = map[key];
    // A wire from a block to itself holds that block twice.
    if (records.empty() || records.back() != record) {
        records.push_back(record);
    }
}

template <typename Key>
void unfile(std::unordered_map<Key, std::vector<UndoRecord*>>& map, Key key, UndoRecord* record) {
    const auto found = map.find(key);
    if (found == map.end()) {
        return;
    }
    std::erase(found->second, record);
    if (found->second.empty()) {
        map.erase(found);
    }
}
} // namespace

void RecordRouter::add(UndoRecord* record) {
    RecordReferences refs;
    record->references(refs);
    for (const void* item : refs.items) {
        file(holders_, item, record);
    }
    for (const UndoRecord* remover : refs.removers) {
        file(waiting_, remover, record);
    }
}

void RecordRouter::remove(UndoRecord* record) {
    RecordReferences refs;
    record->references(refs);
    for (const void* item : refs.items) {
        unfile(holders_, item, record);
    }
    for (const UndoRecord* remover : refs.removers) {
        unfile(waiting_, remover, record);
    }
}

void RecordRouter::removed(UndoRecord* remover, void* item) {
    const auto found = holders_.find(item);
    if (found == holders_.end()) {
        return;
    }
    // Every record lets go of a removed item it holds and waits for the remover instead.
    const std::vector<UndoRecord*> holders = std::move(found->second);
    holders_.erase(found);
    for (UndoRecord* record : holders) {
        record->onRemoved(remover, item);
        if (remover) {
            file(waiting_, static_cast<const UndoRecord*>(remover), record);
        }
    }
}

void RecordRouter::restored(UndoRecord* remover, void* item) {
    const auto found = waiting_.find(remover);
    if (found == waiting_.end()) {
        return;
    }
    const std::vector<UndoRecord*> waiting = std::move(found->second);
    waiting_.erase(found);
    for (UndoRecord* record : waiting) {
        record->onRestored(remover, item);
        file(holders_, static_cast<const void*>(item), record);
    }
}

void RecordRouter::references(RecordReferences& into) const {
    for (const auto& [item, records] : holders_) {
        into.items.push_back(item);
    }
    for (const auto& [remover, records] : waiting_) {
        into.removers.push_back(remover);
    }
}
