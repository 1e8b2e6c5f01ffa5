#include "canvas/pens.h"
#include "canvasfixture.h"

#include <QtTest/QtTest>

namespace {
using Points = QList<QPoint>;

// A wire that is never attached to a block, for routing alone, drawn as a person would: a click
// on each bend after the first (which lies on the first segment's line), then to the end.
std::unique_ptr<WireItem> looseWire(QGraphicsScene& scene, QPoint start, bool firstHorizontal,
                                    Points bends, QPoint end) {
    auto wire = std::make_unique<WireItem>(start.x(), start.y(), firstHorizontal, &scene);
    for (QPoint click : bends.mid(1)) {
        wire->moveLooseEnd(click.x(), click.y());
        wire->addSegmentTo(click.x(), click.y());
    }
    wire->moveLooseEnd(end.x(), end.y());
    return wire;
}
} // namespace

class TestWireItem : public QObject {
    Q_OBJECT
private slots:
    void drawingRoutesAnL() {
        QGraphicsScene scene;
        WireItem wire(10, 20, true, &scene);
        QCOMPARE(wire.segmentCount(), 2);
        QCOMPARE(wire.points(), (Points{{10, 20}, {10, 20}, {10, 20}}));
        wire.moveLooseEnd(50, 60);
        // The corner lies on the line of the first (horizontal) segment.
        QCOMPARE(wire.points(), (Points{{10, 20}, {50, 20}, {50, 60}}));

        wire.removeLastSegment(); // two segments: nothing to take back
        QCOMPARE(wire.segmentCount(), 2);

        wire.addSegmentTo(50, 60); // fixes the corner reached so far
        wire.moveLooseEnd(90, 80);
        QCOMPARE(wire.points(), (Points{{10, 20}, {50, 20}, {50, 80}, {90, 80}}));
        QVERIFY(wire.lastHorizontal());
        wire.addSegmentTo(90, 80);
        wire.moveLooseEnd(120, 100);
        QCOMPARE(wire.points(), (Points{{10, 20}, {50, 20}, {50, 80}, {120, 80}, {120, 100}}));
        wire.removeLastSegment(); // the end stays where it was
        QCOMPARE(wire.segmentCount(), 3);
        QVERIFY(wire.lastHorizontal());
        QCOMPARE(wire.points(), (Points{{10, 20}, {50, 20}, {50, 100}, {120, 100}}));

        wire.restartAt(5, 5);
        QCOMPARE(wire.points(), (Points{{5, 5}, {5, 5}, {5, 5}}));
        QVERIFY(!wire.lastHorizontal());
    }

    void endsAttachAndDetach() {
        CanvasFixture canvas;
        ToolboxEntry* type = canvas.type("T", {"i"}, {"o"});
        BlockItem* a = canvas.place(type);
        BlockItem* b = canvas.place(type, 200, 100);
        // Drawn from b's input back to a's output: the input end comes first.
        const QPoint start = CanvasFixture::outerEnd(b, 1, true);
        auto* wire = new WireItem(start.x(), start.y(), true, &canvas.scene);
        wire->setFirstEnd(b, 1, true);
        QCOMPARE(b->inputWire(1), wire);
        const QPoint end = CanvasFixture::outerEnd(a, 1, false);
        wire->moveLooseEnd(end.x(), end.y());
        wire->setSecondEnd(a, 1);
        QCOMPARE(wire->outputEnd().block, a);
        QCOMPARE(wire->inputEnd().block, b);
        QVERIFY(!wire->secondEnd().isInput);
        QList<WireItem*> leaving;
        QCOMPARE(a->outputWires(1, leaving), 1);
        QCOMPARE(b->outputWires(1, leaving), 0);
        QCOMPARE(a->wireAt(end + QPoint(0, 1)), wire);
        QVERIFY(!a->wireAt(QPoint(500, 500)));
        delete wire;
        QVERIFY(!b->inputWire(1));
        QVERIFY(a->wires().isEmpty() && b->wires().isEmpty());
    }

    void movingOneEndRelaysOnlyItsSegments() {
        CanvasFixture canvas;
        ToolboxEntry* type = canvas.type("T", {"i"}, {"o"}, "j20sU01R02s.ee.nnnDn04n.");
        // Output 1 points up, so its wire starts vertically.
        BlockItem* a = canvas.place(type, 100, 100);
        BlockItem* b = canvas.place(canvas.type("S", {"i"}, {"o"}), 300, 0);
        const QPoint start = CanvasFixture::outerEnd(a, 1, false);
        auto* wire = new WireItem(start.x(), start.y(), false, &canvas.scene);
        wire->setFirstEnd(a, 1, false);
        for (QPoint bend : {QPoint(start.x(), 50), QPoint(250, 50)}) {
            wire->moveLooseEnd(bend.x(), bend.y());
            wire->addSegmentTo(bend.x(), bend.y());
        }
        const QPoint end = CanvasFixture::outerEnd(b, 1, true);
        wire->moveLooseEnd(end.x(), end.y());
        wire->setSecondEnd(b, 1);
        const Points before = wire->points();
        QCOMPARE(before.size(), 5);

        a->moveBy(5, 0);
        const Points after = wire->points();
        QCOMPARE(after[0], before[0] + QPoint(5, 0));
        QCOMPARE(after[1], QPoint(before[1].x() + 5, before[1].y())); // still vertical
        QCOMPARE(after[2], before[2]); // segment 1's far end unchanged
        QCOMPARE(after.mid(3), before.mid(3));
    }

    void selectedPairsMoveTheWireOnce() {
        CanvasFixture canvas;
        ToolboxEntry* type = canvas.type("T", {"i"}, {"o"});
        BlockItem* a = canvas.place(type);
        BlockItem* b = canvas.place(type, 200, 100);
        WireItem* wire = canvas.connect(a, 1, b, 1, {QPoint(100, 20)});
        const Points before = wire->points();
        a->setSelected(true);
        b->setSelected(true);
        a->moveBy(7, 3);
        b->moveBy(7, 3);
        Points shifted;
        for (QPoint p : before) {
            shifted.append(p + QPoint(7, 3));
        }
        QCOMPARE(wire->points(), shifted);
        QCOMPARE(wire->handleCount(), wire->segmentCount() - 1);
        QCOMPARE(wire->handleRect(0).topLeft(), wire->segment(1).p1() - QPoint(2, 2));

        // A wire from a block back to itself follows that block once per move.
        BlockItem* loop = canvas.place(type, 400, 0);
        WireItem* self =
            canvas.connect(loop, 1, loop, 1, {QPoint(480, 20), QPoint(480, 80), QPoint(380, 80)});
        QCOMPARE(loop->wires().size(), 2);
        const Points selfBefore = self->points();
        loop->moveBy(10, 0);
        QCOMPARE(self->points().first(), selfBefore.first() + QPoint(10, 0));
        QCOMPARE(self->points().last(), selfBefore.last() + QPoint(10, 0));
        QList<WireItem*> leaving;
        QCOMPARE(loop->outputWires(1, leaving), 1);
    }

    void handlesFollowThePen() {
        QGraphicsScene scene;
        auto wire = looseWire(scene, {0, 0}, true, {{40, 0}, {40, 30}, {80, 30}}, {80, 60});
        QCOMPARE(wire->segmentCount(), 4);
        wire->setPen(selectionPen());
        QCOMPARE(wire->handleCount(), 3);
        QCOMPARE(wire->handleAt(QPoint(42, 2)), 0);
        QCOMPARE(wire->handleAt(QPoint(43, 2)), -1);
        QCOMPARE(wire->handleAt(QPoint(80, 30)), 2);
        wire->setPen(normalPen());
        QCOMPARE(wire->handleCount(), 0);
        QCOMPARE(wire->handleAt(QPoint(40, 0)), -1);
        QVERIFY(wire->contains(QPoint(20, 1)));
        QVERIFY(!wire->contains(QPoint(20, 5)));
    }

    void draggingBends() {
        QGraphicsScene scene;
        // The only bend of a two-segment wire cannot move.
        auto two = looseWire(scene, {0, 0}, true, {}, {50, 40});
        two->select();
        two->moveHandle(QPoint(30, 10), 0);
        QCOMPARE(two->points(), (Points{{0, 0}, {50, 0}, {50, 40}}));

        // Bends: (40,0) (40,30) (80,30) (80,60); the wire ends at (120,60).
        auto make = [&] {
            auto wire =
                looseWire(scene, {0, 0}, true, {{40, 0}, {40, 30}, {80, 30}, {80, 60}}, {120, 60});
            wire->select();
            return wire;
        };
        auto first = make();
        first->moveHandle(QPoint(60, 10), 0); // slides along the first segment only
        QCOMPARE(first->points(),
                 (Points{{0, 0}, {60, 0}, {60, 30}, {80, 30}, {80, 60}, {120, 60}}));
        QCOMPARE(first->handleRect(0).topLeft(), QPoint(58, -2));

        auto middle = make();
        middle->moveHandle(QPoint(50, 40), 1); // bend (40,30) between vertical 1 and horizontal 2
        QCOMPARE(middle->points(),
                 (Points{{0, 0}, {50, 0}, {50, 40}, {80, 40}, {80, 60}, {120, 60}}));
        QCOMPARE(middle->handleRect(0).topLeft(), QPoint(48, -2));
        QCOMPARE(middle->handleRect(1).topLeft(), QPoint(48, 38));
        QCOMPARE(middle->handleRect(2).topLeft(), QPoint(78, 38));

        auto last = make();
        last->moveHandle(QPoint(95, 70), 3); // slides along the last segment only
        QCOMPARE(last->points(),
                 (Points{{0, 0}, {40, 0}, {40, 30}, {95, 30}, {95, 60}, {120, 60}}));
        QCOMPARE(last->handleRect(3).topLeft(), QPoint(93, 58));
        QCOMPARE(last->handleRect(2).topLeft(), QPoint(93, 28));
    }

    void snapshotKeepsSegments() {
        QGraphicsScene scene;
        auto wire = looseWire(scene, {0, 0}, false, {{0, 30}, {40, 30}}, {40, 60});
        wire->snapshotGeometry();
        QCOMPARE(wire->geometrySnapshot().size(), size_t(3));
        QCOMPARE(wire->geometrySnapshot()[1], QLine(0, 30, 40, 30));
    }
};

QTEST_MAIN(TestWireItem)
#include "test_wireitem.moc"
