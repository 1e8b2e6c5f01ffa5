#pragma once

#include "canvas/recordrouter.h"
#include "definitions/namelist.h"
#include "definitions/valuelist.h"

#include <QLine>
#include <QList>
#include <QPoint>
#include <cstdint>
#include <unordered_map>
#include <vector>

class BlockItem;
class CanvasHandler;
class ToolboxEntry;
class WireItem;

// One step that Undo can take back. Deleting and re-creating items changes their identity, so
// records refer to items through pointers that other records patch: a record that removes an
// item announces it (the holders forget the item and remember the remover), and a record that
// re-creates one announces the new item (the holders that remembered that remover take it).
class UndoRecord {
public:
    UndoRecord() = default;
    UndoRecord(const UndoRecord&) = delete;
    UndoRecord& operator=(const UndoRecord&) = delete;
    virtual ~UndoRecord();
    virtual void undo(CanvasHandler& editor) = 0;
    // record removed item; the default ignores it.
    virtual void onRemoved(UndoRecord* record, void* item);
    // record re-created an item that it had removed; item is the new one.
    virtual void onRestored(UndoRecord* record, void* item);
    // The items this record holds and the removers it waits for, so that a record holding many
    // others can route announcements through a hash.
    virtual void references(RecordReferences& into) const;
};

// A dropped or pasted block, or a finished wire.
class CreatedRecord : public UndoRecord {
public:
    explicit CreatedRecord(BlockItem* block);
    explicit CreatedRecord(WireItem* wire);
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

private:
    void* item_;
    UndoRecord* remover_ = nullptr;
    bool isBlock_;
};

// A wire's segments before a change of its shape.
class WireGeometryRecord : public UndoRecord {
public:
    WireGeometryRecord(WireItem* wire, std::vector<QLine> segments);
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

private:
    std::vector<QLine> segments_;
    WireItem* wire_;
    UndoRecord* remover_ = nullptr;
};

// A drag of the selection: the blocks go back by the offset, then their wires get back the shapes
// they had when the drag began.
class MoveRecord : public UndoRecord {
public:
    // Each wire attached to the blocks gives one geometry record, from its last snapshot.
    MoveRecord(const QList<BlockItem*>& blocks, QPoint offset);
    ~MoveRecord() override;
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

private:
    // A removed block leaves its place empty until its remover re-creates it there.
    std::vector<BlockItem*> blocks_;
    std::unordered_map<const void*, std::size_t> slotOf_;
    std::unordered_map<const UndoRecord*, std::size_t> slotAwaiting_;
    std::vector<WireGeometryRecord*> geometry_;
    RecordRouter geometryRouter_;
    QPoint reverse_;
};

// Several records that one Undo takes back together, oldest first.
class GroupRecord : public UndoRecord {
public:
    // An empty group that its operation fills.
    GroupRecord() = default;
    // Appends a record newer than those it holds.
    void add(UndoRecord* record);
    // Hands back the only record it holds, or nullptr when it holds another number.
    UndoRecord* takeSingle();
    ~GroupRecord() override;
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

    int count() const { return int(records_.size()); }

private:
    std::vector<UndoRecord*> records_;
    RecordRouter router_;
};

// A deleted wire: its shape and both of its ends.
class WireDeletedRecord : public UndoRecord {
public:
    explicit WireDeletedRecord(const WireItem& wire);
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

private:
    struct End {
        BlockItem* block;
        int port;
        UndoRecord* remover;
    };
    std::vector<QLine> segments_;
    bool firstHorizontal_;
    bool firstIsInput_;
    End ends_[2];
};

// A deleted block: its type, place, depth and variables.
class BlockDeletedRecord : public UndoRecord {
public:
    explicit BlockDeletedRecord(const BlockItem& block);
    void undo(CanvasHandler& editor) override;

private:
    ToolboxEntry* entry_;
    double x_;
    double y_;
    double z_;
    std::uint64_t place_;
    NameList<ValueList> variables_;
};

// A block's variables before a confirmed edit.
class VariablesRecord : public UndoRecord {
public:
    explicit VariablesRecord(BlockItem* block);
    void undo(CanvasHandler& editor) override;
    void onRemoved(UndoRecord* record, void* item) override;
    void onRestored(UndoRecord* record, void* item) override;
    void references(RecordReferences& into) const override;

private:
    BlockItem* block_;
    UndoRecord* remover_ = nullptr;
    NameList<ValueList> variables_;
};
