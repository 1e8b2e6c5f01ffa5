#pragma once

#include "definitions/namelist.h"
#include "definitions/valuelist.h"
#include "generator/blockview.h"

#include <QGraphicsPolygonItem>
#include <QList>
#include <QRect>
#include <QSet>
#include <cstdint>
#include <memory>
#include <vector>

class ClipRecord;
class DesignCanvas;
class QGraphicsLineItem;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class BlockClipRecord;
class BlockDeletedRecord;
class ToolboxEntry;
class WireClipRecord;
class WireDeletedRecord;
class WireItem;

// One port stub of a block. Input port k carries the k-th input name, output port k the k-th
// output name; only ports numbered from 1 take wires.
struct PortItem {
    QGraphicsLineItem* stub;
    bool isInput;
    int number;
};

// A placed block: a grey outline with edges, port stubs with labels and a name label, its own
// variables, and the wires attached to it. The outline, stubs and labels are child items, so
// they move and disappear with the block.
class BlockItem : public QGraphicsPolygonItem, public BlockView {
public:
    enum { Type = 1001 };

    // Builds the block at (0, 0) with its type's outline and its variables from the type's
    // edit names; the creator moves it into place.
    BlockItem(QGraphicsScene* canvas, QList<BlockItem*>* selectionList, ToolboxEntry* entry,
              float z);
    ~BlockItem() override;

    int type() const override { return Type; }

    // Moves the block and lets every attached wire follow once.
    void moveBy(qreal dx, qreal dy);

    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

    // Changes the caption, keeping its centre where it was.
    void setLabel(const QString& text);
    QString label() const;

    ToolboxEntry* entry() const { return entry_; }
    NameList<ValueList>& variables() { return variables_; }
    const NameList<ValueList>& variables() const override { return variables_; }

    // What the generator reads: the type, the position and the wires' far ends.
    const char* typeName() const override;
    double x() const override { return pos().x(); }
    double y() const override { return pos().y(); }
    PortEnd inputSource(int inputPort) const override;
    void outputTargets(int outputPort, std::vector<PortEnd>& targets) const override;
    // The first value of the variable, or nullptr when the block has no such variable.
    const char* variable(const char* name) const;

    // The first port whose stub, widened by 3 pixels on every side, contains the point: the point
    // becomes the stub's outer end. Returns the port number (0 for a stub that takes no wire),
    // or -1 when no port is hit.
    int portAt(QPoint& point, bool& horizontal, bool& isInput) const;
    const std::vector<PortItem>& ports() const { return ports_; }
    // Whether point must move to reach the outer end of port `number`'s stub: it is moved to
    // the first such stub's end unless it lies on one already (a shape may draw a port twice).
    bool fitToStubEnd(int number, bool isInput, QPoint& point) const;

    WireItem* inputWire(int port) const;
    void attachWire(WireItem* wire, int port, bool isInput);
    void detachWire(WireItem* wire, int port, bool isInput);
    const QList<WireItem*>& wires() const { return wires_; }
    // Appends the wires leaving output port k, each once, in attachment order; returns how many.
    int outputWires(int port, QList<WireItem*>& list) const;
    WireItem* wireAt(QPoint point) const;
    WireItem* handleAt(QPoint point, int& handleIndex) const;
    void setWiresPen(const QPen& pen);
    void snapshotWireGeometry();

    // The outline's bounds relative to the block's position, port stubs not included.
    const QRect& outlineBounds() const { return outlineBounds_; }
    float z() const { return z_; }

    // The block's place in the canvas's order of blocks. A block re-created by Undo takes back
    // the place of the one deleted, so that numbering and Generate see the design as before.
    std::uint64_t canvasPlace() const { return registryKey_; }
    void takeCanvasPlace(std::uint64_t place);

    void setNumber(int number) { number_ = number; }
    int number() const { return number_; }

    // Records for undo and the clipboard.
    BlockDeletedRecord* makeDeleteRecord() const;
    // The block remembers the record, so that wire records of the same copy find it.
    BlockClipRecord* makeCopyRecord();
    BlockClipRecord* copyRecord() const { return copyRecord_; }
    // The first attached wire not yet in seen (which it joins) with a deletion record of it;
    // nullptr when every wire has been seen.
    WireDeletedRecord* nextWireRecord(QSet<WireItem*>& seen, WireItem** wire = nullptr) const;
    // Appends a clip record for each attached wire whose first end is here and whose second
    // block is selected.
    void collectWireCopies(std::vector<ClipRecord*>& clipboard) const;

private:
    friend class OutlineBuilder;

    int number_ = 0;
    ToolboxEntry* entry_;
    QGraphicsSimpleTextItem* nameLabel_ = nullptr;
    QList<QGraphicsItem*> labels_;
    QList<QGraphicsLineItem*> edges_;
    QList<BlockItem*>* selectionList_;
    std::vector<PortItem> ports_;
    std::vector<WireItem*> inputSlots_;
    QRect outlineBounds_;
    QList<WireItem*> wires_;
    NameList<ValueList> variables_;
    bool selected_ = false;
    float z_;
    BlockClipRecord* copyRecord_ = nullptr;
    DesignCanvas* registry_ = nullptr;
    std::uint64_t registryKey_ = 0;
};
