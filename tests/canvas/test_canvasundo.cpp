#include "canvas/undorecords.h"
#include "designsnapshot.h"
#include "editorfixture.h"
#include "testenvironment.h"

namespace {
ToolboxEntry* passType(EditorFixture& f) {
    return f.type("Pass", {"i"}, {"o"}, {{"name", {"p"}}, {"gain", {"1"}}});
}

void rename(BlockItem* block, const char* name) {
    block->variables().find("name")->at(0)->assign(name);
    block->setLabel(name);
}

// What a drag of the selection by the mouse records.
void dragSelection(CanvasHandler& editor, int dx, int dy) {
    for (BlockItem* block : editor.selection()) {
        block->snapshotWireGeometry();
    }
    editor.moveSelection(dx, dy);
    editor.pushUndo(new MoveRecord(editor.selection(), QPoint(dx, dy)));
    editor.trimUndo();
}
} // namespace

class TestCanvasUndo : public QObject {
    Q_OBJECT
private slots:
    void deleteThenUndoBringsBlocksAndWiresBack() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 300, 140);
        BlockItem* c = f.place(pass, 500, 100);
        rename(a, "alpha");
        b->variables().find("gain")->append(DynString("7"));
        f.connect(a, 1, b, 1, {{200, 90}, {250, 200}});
        f.connect(b, 1, c, 1);
        f.connect(c, 1, a, 1, {{560, 40}, {60, 40}}); // back to the start, round the top
        const QStringList original = designSnapshot(*f.editor.canvas());

        f.select({a, b});
        f.editor.deleteSelected();
        QCOMPARE(f.editor.canvas()->blocks(), std::vector<BlockItem*>{c});
        QVERIFY(c->wires().isEmpty());
        // Three wires, each recorded once, and two blocks: one step.
        QCOMPARE(f.editor.undoStack().size(), std::size_t(1));
        auto* group = dynamic_cast<GroupRecord*>(f.editor.undoStack().front());
        QVERIFY(group);
        QCOMPARE(group->count(), 5);

        f.editor.setModified(false);
        f.editor.undo();
        QVERIFY(f.editor.isModified());
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
        QVERIFY(f.editor.undoStack().empty());
        // The restored wires hang on the restored blocks and on the block that stayed.
        QCOMPARE(c->wires().size(), 2);
        for (WireItem* wire : c->wires()) {
            const BlockItem* other =
                wire->firstEnd().block == c ? wire->secondEnd().block : wire->firstEnd().block;
            QVERIFY(other != c && other->wires().size() == 2);
        }
    }

    void moveDeleteUndoUndoMovesTheRecreatedBlocksBack() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 300, 140);
        BlockItem* c = f.place(pass, 500, 300);
        f.connect(a, 1, b, 1, {{200, 90}, {250, 200}});
        f.connect(b, 1, c, 1, {{420, 160}, {450, 320}});
        const QStringList original = designSnapshot(*f.editor.canvas());

        f.select({a, b});
        dragSelection(f.editor, 40, 25);
        const QStringList moved = designSnapshot(*f.editor.canvas());
        QVERIFY(moved != original);
        f.editor.deleteSelected();

        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), moved);
        // The move record now holds the re-created blocks and wires.
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
    }

    void bendDragIsUndone() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 400, 200);
        WireItem* wire = f.connect(a, 1, b, 1, {{200, 90}, {250, 260}, {300, 230}});
        wire->select();
        const QList<QPoint> before = wire->points();

        wire->snapshotGeometry();
        wire->moveHandle({230, 170}, 2);
        QVERIFY(wire->points() != before);
        f.editor.pushUndo(wire->makeGeometryRecord());
        f.editor.undo();
        QCOMPARE(wire->points(), before);
        // Still selected, with one handle on each bend.
        QCOMPARE(wire->handleCount(), wire->segmentCount() - 1);
        QCOMPARE(wire->handleRect(1).center(), before[2]);
    }

    void onlyTheTwentyNewestStepsRemain() {
        EditorFixture f;
        BlockItem* a = f.place(passType(f), 100, 100);
        f.select({a});
        QStringList afterFirst;
        for (int step = 1; step <= 21; ++step) {
            dragSelection(f.editor, 3, 1);
            if (step == 1) {
                afterFirst = designSnapshot(*f.editor.canvas());
            }
        }
        QCOMPARE(f.editor.undoStack().size(), std::size_t(20));
        for (int i = 0; i < 25; ++i) {
            f.editor.undo();
        }
        QCOMPARE(designSnapshot(*f.editor.canvas()), afterFirst);
    }

    void undoOfAPasteTakesBlocksRestoredInBetween() {
        // A group of paste records hears of a block deleted and restored after it.
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 300, 100);
        f.connect(a, 1, b, 1);
        f.select({a, b});
        f.editor.copy();
        const QStringList original = designSnapshot(*f.editor.canvas());
        f.editor.paste();
        const QStringList pasted = designSnapshot(*f.editor.canvas());

        f.select({f.editor.canvas()->blocks().back()});
        f.editor.deleteSelected();
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), pasted);
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
        QCOMPARE(f.editor.canvas()->blockCount(), 2);
    }

    void recordsGatheredInAnOpenGroupUndoAsOneStep() {
        EditorFixture f;
        ToolboxEntry* pass = passType(f);
        BlockItem* a = f.place(pass, 100, 100);
        BlockItem* b = f.place(pass, 300, 140);
        WireItem* ab = f.connect(a, 1, b, 1, {{200, 90}, {250, 200}});
        f.connect(b, 1, a, 1);
        const QStringList original = designSnapshot(*f.editor.canvas());

        f.editor.closeGroup(f.editor.openGroup());
        QVERIFY(f.editor.undoStack().empty());

        // A lone record is left on its own.
        GroupRecord* group = f.editor.openGroup();
        UndoRecord* record = ab->makeDeleteRecord();
        f.editor.notifyRemoved(record, ab);
        group->add(record);
        delete ab;
        f.editor.closeGroup(group);
        QCOMPARE(f.editor.undoStack().size(), std::size_t(1));
        QVERIFY(dynamic_cast<WireDeletedRecord*>(f.editor.undoStack().front()));
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);

        // Deleting both blocks: the wire records inside the group hear that their blocks went.
        group = f.editor.openGroup();
        QSet<WireItem*> seen;
        WireItem* wire = nullptr;
        while (UndoRecord* wireRecord = a->nextWireRecord(seen, &wire)) {
            f.editor.notifyRemoved(wireRecord, wire);
            group->add(wireRecord);
        }
        QCOMPARE(seen.size(), 2);
        for (BlockItem* block : {a, b}) {
            UndoRecord* blockRecord = block->makeDeleteRecord();
            group->add(blockRecord);
            f.editor.notifyRemoved(blockRecord, block);
            delete block;
        }
        f.editor.closeGroup(group);
        QCOMPARE(f.editor.canvas()->blockCount(), 0);
        QCOMPARE(f.editor.undoStack().size(), std::size_t(1));
        QCOMPARE(group->count(), 4);
        f.editor.undo();
        QCOMPARE(designSnapshot(*f.editor.canvas()), original);
    }
};

DRAFTEL_TEST_MAIN(TestCanvasUndo)
#include "test_canvasundo.moc"
