#include "canvas/blocktypedrag.h"
#include "editorfixture.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>

namespace {
struct DragAnswers {
    bool enter;
    bool move;
    bool drop;
};

// A whole drag over the viewport as the toolkit delivers it: enter, one move, drop.
DragAnswers dragAndDrop(CanvasHandler& editor, const QByteArray& payload, QPoint at,
                        const QString& format = blockTypeMimeType) {
    QMimeData data;
    data.setData(format, payload);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &drop);
    return {enter.isAccepted(), move.isAccepted(), drop.isAccepted()};
}

QPoint outlineCentre(const BlockItem* block) {
    const QRect& r = block->outlineBounds();
    return block->pos().toPoint() + QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}
} // namespace

class TestCanvasDrop : public QObject {
    Q_OBJECT
private slots:
    void foreignAndMalformedPayloadsAreRefused() {
        EditorFixture mine;
        EditorFixture other;
        mine.type("Mix", {"a"}, {"o"});
        other.type("Mix", {"a"}, {"o"});
        const quint32 id = mine.editor.identity();
        QVERIFY(id != 0 && id != other.editor.identity());

        const QList<QPair<QByteArray, QString>> refused = {
            {blockTypePayload(other.editor.identity(), "Mix"), blockTypeMimeType},
            {blockTypePayload(id, "Mix"), "text/plain"},
            {QByteArray("        12x  Mix") + '\0', blockTypeMimeType},
            {QByteArray("Mix"), blockTypeMimeType},
            {QByteArray(), blockTypeMimeType},
        };
        for (const auto& [payload, format] : refused) {
            const DragAnswers answers = dragAndDrop(mine.editor, payload, {200, 150}, format);
            QVERIFY2(!answers.enter && !answers.move && !answers.drop, payload.constData());
        }
        QCOMPARE(mine.editor.canvas()->blockCount(), 0);
        QVERIFY(mine.editor.undoStack().empty());
        QVERIFY(!mine.editor.isModified());

        // A known editor but a type it does not have: the drag is taken, the drop makes nothing.
        const DragAnswers unknown = dragAndDrop(mine.editor, blockTypePayload(id, "Nope"), {9, 9});
        QVERIFY(unknown.enter && unknown.move && !unknown.drop);
        QCOMPARE(mine.editor.canvas()->blockCount(), 0);
        QVERIFY(!mine.editor.isModified());
    }

    void dropCentresANewBlockAboveTheOthers() {
        EditorFixture f;
        ToolboxEntry* mix = f.type("Mix", {"a", "b"}, {"o"});
        ToolboxEntry* spaced = f.type("Two Words Here", {}, {"o"});
        const quint32 id = f.editor.identity();

        const DragAnswers first = dragAndDrop(f.editor, blockTypePayload(id, "Mix"), {200, 150});
        QVERIFY(first.enter && first.move && first.drop);
        QVERIFY(dragAndDrop(f.editor, blockTypePayload(id, "Two Words Here"), {401, 77}).drop);

        const std::vector<BlockItem*> blocks = f.editor.canvas()->blocks();
        QCOMPARE(blocks.size(), std::size_t(2));
        QCOMPARE(blocks[0]->entry(), mix);
        QCOMPARE(blocks[1]->entry(), spaced);
        QCOMPARE(outlineCentre(blocks[0]), f.editor.mapToScene(QPoint(200, 150)).toPoint());
        QCOMPARE(outlineCentre(blocks[1]), f.editor.mapToScene(QPoint(401, 77)).toPoint());
        QCOMPARE(blocks[1]->z(), blocks[0]->z() + 1.0f);
        QCOMPARE(f.editor.currentZ(), blocks[1]->z() + 1.0f);
        QVERIFY(f.editor.selection().isEmpty());

        // Each drop is one undoable step.
        QCOMPARE(f.editor.undoStack().size(), std::size_t(2));
        QVERIFY(f.editor.isModified());
        f.editor.setModified(false);
        f.editor.undo();
        QCOMPARE(f.editor.canvas()->blocks(), std::vector<BlockItem*>{blocks[0]});
        QVERIFY(f.editor.isModified());
    }

    void dropPointIsACanvasPoint() {
        // With the view scrolled the block lands where the canvas is under the mouse.
        EditorFixture f;
        f.type("Mix", {"a"}, {"o"});
        f.editor.resizeCanvas(3000, 3000);
        f.editor.horizontalScrollBar()->setValue(500);
        f.editor.verticalScrollBar()->setValue(300);
        QVERIFY(dragAndDrop(f.editor, blockTypePayload(f.editor.identity(), "Mix"), {20, 30}).drop);
        QCOMPARE(outlineCentre(f.editor.canvas()->blocks().front()), QPoint(520, 330));
    }
};

DRAFTEL_TEST_MAIN(TestCanvasDrop)
#include "test_canvasdrop.moc"
