#pragma once

#include "definitions/namelist.h"
#include "definitions/valuelist.h"

#include <QLine>
#include <vector>

class BlockItem;
class CanvasHandler;
class ToolboxEntry;
class WireItem;

// One copied item of the editor's own clipboard, pasted again and again.
class ClipRecord {
public:
    virtual ~ClipRecord();
    virtual void paste(CanvasHandler& editor, float minimumZ) = 0;
};

// A copied block. Each paste lands 5 units further right and down than the one before.
class BlockClipRecord : public ClipRecord {
public:
    explicit BlockClipRecord(const BlockItem& block);
    void paste(CanvasHandler& editor, float minimumZ) override;
    // The block of the last paste, for the wires pasted after it.
    BlockItem* pastedBlock() const { return pasted_; }

private:
    ToolboxEntry* entry_;
    double x_;
    double y_;
    double z_;
    BlockItem* pasted_ = nullptr;
    NameList<ValueList> variables_;
};

// A copied wire between two copied blocks, pasted between their pasted blocks.
class WireClipRecord : public ClipRecord {
public:
    WireClipRecord(const WireItem& wire, BlockClipRecord* first, BlockClipRecord* second);
    void paste(CanvasHandler& editor, float minimumZ) override;

private:
    std::vector<QLine> segments_;
    int offset_ = 5;
    bool firstHorizontal_;
    BlockClipRecord* first_;
    int firstPort_;
    bool firstIsInput_;
    BlockClipRecord* second_;
    int secondPort_;
};
