#include "canvas/cliprecords.h"
#include "canvas/pens.h"
#include "canvas/undorecords.h"
#include "designsnapshot.h"
#include "editorfixture.h"
#include "testenvironment.h"

#include <QGraphicsLineItem>

namespace {
QList<QPoint> shifted(QList<QPoint> points, int d) {
    for (QPoint& p : points) {
        p += QPoint(d, d);
    }
    return points;
}

// The pen of every segment line of the wire, as drawn on the canvas.
QList<QColor> segmentColours(const DesignCanvas& canvas, const WireItem* wire) {
    QList<QColor> colours;
    for (int i = 0; i < wire->segmentCount(); ++i) {
        for (QGraphicsItem* item : canvas.items()) {
            auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(item);
            const bool ofBlock =
                line && line->parentItem() && line->parentItem()->type() == BlockItem::Type;
            if (line && !ofBlock && line->line().toLine() == wire->segment(i)) {
                colours << line->pen().color();
                break;
            }
        }
    }
    return colours;
}

ToolboxEntry* passType(EditorFixture& f) {
    return f.type("Pass", {"i"}, {"o"}, {{"name", {"p"}}, {"gain", {"1"}}});
}
} // namespace

class TestCanvasClipboard : public QObject {
    Q_OBJECT
private slots:
    void copyPastePasteShiftsSelectsAndKeepsDepths() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* c = f.place(pass, 300, 300);
        BlockItem* b = f.place(pass, 300, 120);
        a->variables().find("name")->at(0)->assign("alpha");
        a->setLabel("alpha");
        a->variables().find("gain")->append(DynString("2"));
        WireItem* ab = f.connect(a, 1, b, 1, {{200, 90}, {250, 160}});
        f.connect(a, 1, c, 1); // to a block left out of the copy
        f.select({b, a});
        f.editor.setModified(false);

        const QStringList original = designSnapshot(*f.editor.canvas());
        f.editor.copy();
        QCOMPARE(f.editor.clipboard().size(), std::size_t(3)); // two blocks, one wire
        QVERIFY(f.editor.undoStack().empty());
        QVERIFY(!f.editor.isModified());
        QCOMPARE(f.editor.selection(), (QList<BlockItem*>{b, a}));
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);

        QList<BlockItem*> previous;
        QStringList afterFirstPaste;
        for (int paste = 1; paste <= 2; ++paste) {
            const float top = f.editor.currentZ();
            f.editor.paste();
            const int d = 5 * paste;
            const QList<BlockItem*> pasted = f.editor.selection();
            QCOMPARE(pasted.size(), 2);
            QCOMPARE(pasted[0]->pos(), b->pos() + QPointF(d, d));
            QCOMPARE(pasted[1]->pos(), a->pos() + QPointF(d, d));
            QCOMPARE(pasted[1]->label(), QString("alpha"));
            QCOMPARE(pasted[1]->variables().find("gain")->count(), 2);
            // Depths keep their distances, above everything that was there.
            QCOMPARE(pasted[1]->z(), top);
            QCOMPARE(pasted[0]->z(), top + (b->z() - a->z()));
            QCOMPARE(f.editor.currentZ(), pasted[0]->z() + 1.0f);

            QCOMPARE(pasted[1]->wires().size(), 1);
            const WireItem* wire = pasted[1]->wires().first();
            QCOMPARE(wire->secondEnd().block, pasted[0]);
            QCOMPARE(wire->points(), shifted(ab->points(), d));
            QVERIFY(wire->isSelected());
            QCOMPARE(segmentColours(*f.editor.canvas(), wire),
                     QList<QColor>(wire->segmentCount(), selectionPen().color()));

            for (BlockItem* block : previous) {
                QVERIFY(!block->isSelected());
                QVERIFY(!block->wires().first()->isSelected());
            }
            previous = pasted;
            if (paste == 1) {
                afterFirstPaste = designSnapshot(*f.editor.canvas());
            }
        }
        QVERIFY(f.editor.isModified());

        // Each paste of several blocks is undone in one step.
        QCOMPARE(f.editor.undoStack().size(), std::size_t(2));
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), afterFirstPaste);
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
    }

    void pasteAfterCutComesBackBesideTheCutBlock() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 300, 120);
        f.connect(a, 1, b, 1);
        const QPointF cutAt = a->pos();
        const float cutZ = a->z();
        const QStringList original = designSnapshot(*f.editor.canvas());

        f.select({a});
        f.editor.cut();
        QCOMPARE(f.editor.canvas()->blocks(), std::vector<BlockItem*>{b});
        QVERIFY(b->wires().isEmpty());
        const QStringList afterCut = designSnapshot(*f.editor.canvas());
        const std::size_t records = f.editor.undoStack().size();

        f.editor.paste();
        QCOMPARE(f.editor.selection().size(), 1);
        BlockItem* pasted = f.editor.selection().first();
        QCOMPARE(pasted->pos(), cutAt + QPointF(5, 5));
        QVERIFY(pasted->z() > cutZ);
        QVERIFY(pasted->wires().isEmpty()); // its wire led to a block that was not cut

        // One pasted block: one plain record, no group.
        QCOMPARE(f.editor.undoStack().size(), records + 1);
        QVERIFY(dynamic_cast<CreatedRecord*>(f.editor.undoStack().front()));
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), afterCut);
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
    }

    void emptyCopyLeavesNothingToPaste() {
        EditorFixture f;
        BlockItem* a = f.place(passType(f), 100, 100);
        f.editor.copy();
        QVERIFY(f.editor.clipboard().empty());
        f.select({a});
        f.editor.paste();
        QVERIFY(f.editor.selection().isEmpty());
        QCOMPARE(f.editor.canvas()->blockCount(), 1);
        QVERIFY(f.editor.undoStack().empty());
        QVERIFY(!f.editor.isModified());
    }
};

DRAFTEL_TEST_MAIN(TestCanvasClipboard)
#include "test_canvasclipboard.moc"
