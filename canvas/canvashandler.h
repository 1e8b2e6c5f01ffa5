#pragma once

#include "designfile/designreader.h"

#include <QGraphicsView>
#include <QList>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class BlockItem;
class BlockView;
class ClipRecord;
class DefinitionSet;
class DesignCanvas;
class GroupRecord;
class QGraphicsItem;
class QGraphicsRectItem;
class QMenu;
class ToolboxEntry;
class UndoRecord;
class WireItem;

// What loading a design needs from the window that shows it.
struct DesignLoadContext {
    // Where the definition file that the design names is looked up.
    QString definitionsDirectory;
    // Loads that definition file (its path) and gives the editor its block types; an empty
    // string on success, else the definition error.
    std::function<QString(const QString& definitionFilePath)> loadDefinitions;
    // Receives the stored geometry; may be null.
    QWidget* window = nullptr;
};

// The design canvas of one window and its editor: a scrolling view onto the blocks and wires of
// the design that turns mouse and keys into selecting, moving, wiring, deleting and panning, with
// undo, an editor-own clipboard and drops from the window's toolbox.
class CanvasHandler : public QGraphicsView {
    Q_OBJECT
public:
    explicit CanvasHandler(QWidget* parent = nullptr, const char* name = nullptr,
                           Qt::WindowFlags flags = {});
    ~CanvasHandler() override;

    DesignCanvas* canvas() const { return canvas_; }
    QSize canvasSize() const;
    void resizeCanvas(int width, int height);

    bool isModified() const { return modified_; }
    // Every edit sets the flag (and announces it, also when it was already set); a save clears it.
    void setModified(bool modified);

    const QString& definitionFileName() const { return definitionFileName_; }
    void setDefinitionFileName(const QString& name) { definitionFileName_ = name; }
    const QString& outputFileName() const { return outputFileName_; }
    void setOutputFileName(const QString& name) { outputFileName_ = name; }

    QMenu* contextMenu() const { return contextMenu_; }

    // Distinguishes this editor from those of all other windows; never 0. Drags from a toolbox
    // carry it so that a block type can only be dropped on its own window's canvas.
    quint32 identity() const { return identity_; }

    // The block types a drop may create, in the order added; the editor owns them, and the
    // window's catalogue and toolbox read them from here.
    void addBlockType(std::unique_ptr<ToolboxEntry> entry);
    const std::vector<std::unique_ptr<ToolboxEntry>>& blockTypes() const { return blockTypes_; }
    // The first block type whose name equals name byte for byte, or nullptr.
    ToolboxEntry* findBlockType(const std::string& name) const;

    // Selection.
    QList<BlockItem*>* selectionList() { return &selection_; }
    const QList<BlockItem*>& selection() const { return selection_; }
    void selectAll();
    void deselectAll();
    WireItem* selectedWire() const { return selectedWire_; }
    WireItem* wireInProgress() const { return wireInProgress_; }
    // Moves the selected blocks; returns the bounding box of their outlines afterwards, or
    // (30000, 30000)-(0, 0) for an empty selection.
    QRect moveSelection(int dx, int dy);
    // Hides the selection (for printing) and shows it again.
    void saveSelection();
    void restoreSelection();
    // Hides the selection and a wire being drawn, for a picture of the design alone, and puts
    // them back as they were.
    void hideEditingMarks();
    void showEditingMarks();

    // Escape and the arrow keys, handed over by the window with the modifiers held.
    void keyPress(int key, Qt::KeyboardModifiers state);
    void deleteSelected();
    // Removes every item from the canvas and forgets every item it referred to.
    void clear();
    // Gives every block its number in creation order, from 0.
    void numberBlocks();

    // Depth of new blocks: each drop takes the counter, which then grows by 1.
    float nextZ();
    float currentZ() const { return zCounter_; }
    void raiseZ(float z);
    void setZCounter(float z) { zCounter_ = z; }

    // Undo, clipboard and drops.
    // A wire being drawn is dropped first, as Escape drops it: the record may give its input
    // back to another wire.
    void undo();
    void copy();
    void cut();
    void paste();
    // Every record goes on the stack here, which marks the design modified and keeps the 20
    // newest records.
    void pushUndo(UndoRecord* record);
    // record removed item (record null: it went for good); the records holding it let go.
    void notifyRemoved(UndoRecord* record, void* item);
    void notifyRestored(UndoRecord* record, void* item);
    void recordCreation(BlockItem* block);
    // For an operation that makes many records: they gather in an open group, where
    // announcements reach them through a hash instead of a walk over thousands of records.
    // Closing pushes the group for two records or more and a lone record on its own.
    GroupRecord* openGroup();
    void closeGroup(GroupRecord* group);
    const std::vector<UndoRecord*>& undoStack() const { return undoStack_; }
    const std::vector<ClipRecord*>& clipboard() const { return clipboard_; }
    float clipMinimumZ() const { return clipMinimumZ_; }

    // The design as the records of a design file, numbering the blocks on the way; saving writes
    // exactly these. Plain data, so it can be written off the GUI thread.
    DesignRecords designRecords(const QRect& windowGeometry);
    // Writes the design; on failure the previous file is untouched, the modified flag stays set
    // and error (when given) receives the system's reason.
    bool saveDesign(const QString& path, const QRect& windowGeometry, QString* error = nullptr);
    // Adds the design in the file to the canvas, as far as it can be read, and says how that
    // went; showing the verdict is the caller's.
    DesignVerdict loadDesign(const QString& path, const DesignLoadContext& context);

    // Asks for the output file and writes one generated file per file sequence; a circular
    // definition leaves its block as the only one selected.
    void generate(const DefinitionSet& definitions, bool openGeneratedFile);
    // The blocks as Generate hands them to the generator, in canvas order.
    std::vector<const BlockView*> generatorViews() const;

    // Opens the variable editor for a block.
    void editVariables(BlockItem* block);

signals:
    void modifiedFlagSet(bool modified);

public slots:
    void objMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The mouse gesture from a press to its release. Wire drawing is no gesture: it spans many.
    struct Gesture {
        enum class Kind { None, DragBlocks, RubberBand, DragBend, Pan };
        Kind kind = Kind::None;
        // The last point: in canvas coordinates, or on the screen while panning.
        QPoint anchor;
        BlockItem* block = nullptr;        // DragBlocks: the block pressed
        QPoint moveTotal;                  // DragBlocks: the distance moved so far
        QGraphicsRectItem* band = nullptr; // RubberBand
        WireItem* wire = nullptr;          // DragBend
        int handle = 0;                    // DragBend
    };

    QPoint canvasPoint(const QPoint& viewPosition) const;
    // Ends the gesture as its release does: a moved selection or a dragged bend is recorded.
    void endGesture();
    // Escape: the wire being drawn goes, unrecorded.
    void dropWireInProgress();
    void trimUndo();
    BlockItem* blockAt(const QPoint& p) const;
    // The first block with a port at p, or nullptr; fills the port's answer.
    BlockItem* portAt(QPoint& p, int& number, bool& horizontal, bool& isInput, bool anyStub) const;
    void replaceInputWire(BlockItem* block, int port);
    void growAndScroll(int right, int bottom, const QPoint& eventPosition, bool scroll);
    void deleteWireWithUndo(WireItem* wire);
    void pressOnEmptyCanvas(QMouseEvent* event, const QPoint& p);
    void selectBlocksInBand(const QRectF& band);
    void clearUndo();
    class DesignLoader;
    void growCanvasTo(int right, int bottom, int margin);
    BlockItem* addLoadedBlock(const BlockRecord& record, ToolboxEntry* entry);
    void addLoadedWire(const WireRecord& record, BlockItem* first, BlockItem* second);
    void clearClipboard();

    DesignCanvas* canvas_;
    QMenu* contextMenu_;
    QList<BlockItem*> selection_;
    QList<BlockItem*> savedSelection_;
    QPen wireInProgressPen_; // kept while the selection is hidden
    QString definitionFileName_ = QStringLiteral("unset def file");
    QString outputFileName_ = QStringLiteral("out.txt");
    std::vector<UndoRecord*> undoStack_; // newest first
    std::vector<ClipRecord*> clipboard_;
    std::vector<std::unique_ptr<ToolboxEntry>> blockTypes_;
    std::unordered_map<std::string, ToolboxEntry*> blockTypesByName_; // first of each name
    float clipMinimumZ_ = 0;
    float clipMaximumZ_ = 0;
    float zCounter_ = 1.0f;
    Gesture gesture_;
    WireItem* wireInProgress_ = nullptr;
    bool startIsInput_ = false;
    WireItem* selectedWire_ = nullptr;
    int blockCounter_ = 0;
    bool modified_ = false;
    BlockItem* contextBlock_ = nullptr;
    GroupRecord* openGroup_ = nullptr;
    quint32 identity_;
};
