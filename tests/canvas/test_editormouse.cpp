// The editor driven by real mouse and key events on its viewport.
#include "canvas/undorecords.h"
#include "designsnapshot.h"
#include "editorfixture.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QScrollBar>

namespace {
int undoCount(const CanvasHandler& editor) {
    return int(editor.undoStack().size());
}
} // namespace

class TestEditorMouse : public QObject {
    Q_OBJECT
private slots:
    void selectingAndDraggingBlocks() {
        EditorFixture f;
        ToolboxEntry* type = f.type("T", {"i"}, {"o"});
        BlockItem* a = f.place(type, 100, 100);
        BlockItem* b = f.place(type, 250, 100);
        click(f.editor, {120, 110});
        QCOMPARE(f.editor.selection(), QList<BlockItem*>{a});
        click(f.editor, {270, 110}, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(f.editor.selection(), (QList<BlockItem*>{a, b}));

        // Without Shift, pressing a selected block keeps the selection and drags all of it.
        drag(f.editor, {120, 110}, {130, 125});
        QCOMPARE(a->pos(), QPointF(110, 115));
        QCOMPARE(b->pos(), QPointF(260, 115));
        QCOMPARE(undoCount(f.editor), 1);
        QVERIFY(dynamic_cast<MoveRecord*>(f.editor.undoStack().front()));
        QVERIFY(f.editor.isModified());

        // Shift on a selected block takes it out, and the rest is dragged.
        drag(f.editor, {130, 125}, {140, 125}, Qt::ShiftModifier);
        QCOMPARE(f.editor.selection(), QList<BlockItem*>{b});
        QCOMPARE(a->pos(), QPointF(110, 115));
        QCOMPARE(b->pos(), QPointF(270, 115));
        f.editor.undo();
        QCOMPARE(b->pos(), QPointF(260, 115));

        // A click that does not move records nothing.
        click(f.editor, {270, 125});
        QCOMPARE(undoCount(f.editor), 1);
    }

    void draggingStopsAtTheLeftEdgeAndGrowsTheCanvas() {
        EditorFixture f;
        BlockItem* block = f.place(f.type("T", {"i"}, {"o"}), 20, 50);
        mouse(f.editor, QEvent::MouseButtonPress, {30, 60});
        mouse(f.editor, QEvent::MouseMove, {-20, 60});
        QCOMPARE(block->pos(), QPointF(0, 50)); // outline's left edge at 0
        mouse(f.editor, QEvent::MouseMove, {-10, 60});
        QCOMPARE(block->pos(), QPointF(0, 50));
        mouse(f.editor, QEvent::MouseMove, {15, 60}); // continues from the clamped point
        QCOMPARE(block->pos(), QPointF(5, 50));
        mouse(f.editor, QEvent::MouseButtonRelease, {15, 60});

        // Beyond the view's right edge: the canvas grows to hold the block, the view scrolls.
        const int visible = f.editor.viewport()->width();
        const int scrolled = f.editor.horizontalScrollBar()->value();
        mouse(f.editor, QEvent::MouseButtonPress, {10, 60});
        mouse(f.editor, QEvent::MouseMove, {visible + 300, 60});
        mouse(f.editor, QEvent::MouseButtonRelease, {visible + 300, 60});
        QVERIFY(f.editor.canvasSize().width() >= int(block->sceneBoundingRect().right()));
        QCOMPARE(f.editor.horizontalScrollBar()->value(), scrolled + 30);
    }

    void drawingWires() {
        EditorFixture f;
        ToolboxEntry* type = f.type("T", {"i"}, {"o"});
        BlockItem* a = f.place(type, 50, 100);
        BlockItem* b = f.place(type, 300, 200);
        const QPoint out = EditorFixture::outerEnd(a, 1, false); // (100, 120)
        const QPoint in = EditorFixture::outerEnd(b, 1, true);   // (290, 220)

        click(f.editor, out + QPoint(-2, 2));
        WireItem* wire = f.editor.wireInProgress();
        QVERIFY(wire);
        QCOMPARE(wire->segment(0).p1(), out);
        mouse(f.editor, QEvent::MouseMove, {200, 160});
        QCOMPARE(wire->points().last(), QPoint(200, 160));
        mouse(f.editor, QEvent::MouseMove, in + QPoint(2, 3)); // snaps to the stub
        QCOMPARE(wire->points().last(), in);

        click(f.editor, EditorFixture::outerEnd(b, 1, false)); // same kind: nothing happens
        QCOMPARE(f.editor.wireInProgress(), wire);
        click(f.editor, {200, 160}, Qt::MiddleButton); // a bend
        QCOMPARE(wire->segmentCount(), 3);
        f.editor.deleteSelected();
        f.editor.deleteSelected();
        QCOMPARE(wire->segmentCount(), 2); // the first two stay
        QCOMPARE(undoCount(f.editor), 0);
        QVERIFY(!f.editor.isModified());

        click(f.editor, in);
        QVERIFY(!f.editor.wireInProgress());
        QCOMPARE(b->inputWire(1), wire);
        QCOMPARE(wire->points().last(), in);
        QCOMPARE(undoCount(f.editor), 1);
        QVERIFY(f.editor.isModified());

        // Escape drops a wire being drawn and leaves the undo stack alone.
        click(f.editor, out);
        QVERIFY(f.editor.wireInProgress());
        f.editor.keyPress(Qt::Key_Escape, {});
        QVERIFY(!f.editor.wireInProgress());
        QCOMPARE(a->wires().size(), 1);
        QCOMPARE(undoCount(f.editor), 1);
    }

    void selectingAndDeletingWiresAndBlocks() {
        EditorFixture f;
        ToolboxEntry* type = f.type("T", {"i"}, {"o"});
        BlockItem* a = f.place(type, 50, 100);
        BlockItem* b = f.place(type, 300, 100);
        BlockItem* c = f.place(type, 300, 250);
        f.connect(a, 1, b, 1);
        WireItem* loose = f.connect(a, 1, c, 1, {QPoint(200, 120)});
        const QStringList original = designSnapshot(*f.editor.canvas());

        click(f.editor, {200, 200}); // on the vertical segment of the second wire
        QCOMPARE(f.editor.selectedWire(), loose);
        QVERIFY(loose->isSelected());
        // Shift adds blocks; the selected wire is recorded apart from the group.
        click(f.editor, {60, 110}, Qt::LeftButton, Qt::ShiftModifier);
        click(f.editor, {310, 110}, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(f.editor.selection().size(), 2);
        f.editor.deleteSelected();
        QCOMPARE(f.editor.canvas()->blockCount(), 1);
        f.editor.undo(); // the blocks and the wire between them
        QCOMPARE(f.editor.canvas()->blockCount(), 3);
        f.editor.undo(); // the selected wire, recorded on its own
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
    }

    void rightButton() {
        ScriptedInteraction script;
        EditorFixture f;
        BlockItem* block = f.place(f.type("T", {"i"}, {"o"}), 100, 100);
        script.menuAnswers = {"&Edit vars"};
        mouse(f.editor, QEvent::MouseButtonPress, {110, 110}, Qt::RightButton);
        QVERIFY(f.editor.selection().isEmpty()); // the context menu does not select
        QCOMPARE(script.kinds(), (QStringList{"menu", "dialog"}));
        QCOMPARE(script.asked[1].caption, QString("Variables"));
        mouse(f.editor, QEvent::MouseButtonRelease, {110, 110}, Qt::RightButton);

        // A right drag on empty canvas pans; on a block it never does.
        f.editor.resizeCanvas(3000, 3000);
        f.editor.horizontalScrollBar()->setValue(100);
        mouse(f.editor, QEvent::MouseButtonPress, {400, 300}, Qt::RightButton);
        mouse(f.editor, QEvent::MouseMove, {380, 300});
        mouse(f.editor, QEvent::MouseButtonRelease, {380, 300}, Qt::RightButton);
        QCOMPARE(f.editor.horizontalScrollBar()->value(), 120);
        QCOMPARE(block->pos(), QPointF(100, 100));
    }

    void rubberBand() {
        EditorFixture f;
        ToolboxEntry* type = f.type("T", {}, {});
        BlockItem* inside = f.place(type, 100, 100);
        BlockItem* outside = f.place(type, 400, 100);
        BlockItem* kept = f.place(type, 100, 300);
        kept->setSelected(true);
        mouse(f.editor, QEvent::MouseButtonPress, {250, 50}, Qt::LeftButton, Qt::ShiftModifier);
        mouse(f.editor, QEvent::MouseMove, {80, 150});
        QCOMPARE(f.editor.selection(), (QList<BlockItem*>{kept, inside}));
        mouse(f.editor, QEvent::MouseMove, {90, 60});
        QVERIFY(!inside->isSelected()); // the band no longer meets it
        mouse(f.editor, QEvent::MouseMove, {50, 150});
        mouse(f.editor, QEvent::MouseButtonRelease, {50, 150});
        QVERIFY(inside->isSelected() && kept->isSelected() && !outside->isSelected());
        const int items = int(f.editor.canvas()->items().size());
        click(f.editor, {600, 400}); // a plain click elsewhere clears the selection
        QVERIFY(f.editor.selection().isEmpty());
        QCOMPARE(int(f.editor.canvas()->items().size()), items); // no band left behind
    }
};

DRAFTEL_TEST_MAIN(TestEditorMouse)
#include "test_editormouse.moc"
