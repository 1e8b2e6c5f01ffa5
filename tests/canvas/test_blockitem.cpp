#include "canvas/pens.h"
#include "canvasfixture.h"

#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QtTest/QtTest>

namespace {
QList<QGraphicsSimpleTextItem*> texts(BlockItem* block) {
    QList<QGraphicsSimpleTextItem*> result;
    for (QGraphicsItem* child : block->childItems()) {
        if (auto* text = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(child)) {
            result.append(text);
        }
    }
    return result;
}

QGraphicsSimpleTextItem* textItem(BlockItem* block, const QString& text) {
    for (QGraphicsSimpleTextItem* item : texts(block)) {
        if (item->text() == text) {
            return item;
        }
    }
    return nullptr;
}

int width(QGraphicsSimpleTextItem* item) {
    return int(item->boundingRect().width());
}
int height(QGraphicsSimpleTextItem* item) {
    return int(item->boundingRect().height());
}

QList<QPen> partPens(BlockItem* block) {
    QList<QPen> pens;
    for (QGraphicsItem* child : block->childItems()) {
        if (auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(child)) {
            pens.append(line->pen());
        }
    }
    return pens;
}
} // namespace

class TestBlockItem : public QObject {
    Q_OBJECT
private slots:
    void defaultShapeLabelsAndLook() {
        CanvasFixture canvas;
        BlockItem* block = canvas.place(canvas.type("Mix", {"a", "b"}, {"o"}));
        QCOMPARE(block->type(), 1001);
        QCOMPARE(block->outlineBounds(), QRect(0, 0, 41, 61));
        QCOMPARE(block->brush().color(), QColor(200, 200, 200));
        QCOMPARE(block->pen().style(), Qt::NoPen);
        QCOMPARE(block->polygon().size(), 5); // starts and ends at the origin
        QCOMPARE(block->ports().size(), size_t(3));

        for (const char* name : {"a", "b"}) {
            QGraphicsSimpleTextItem* label = textItem(block, name);
            QVERIFY(label);
            QCOMPARE(label->font().family(), QString("Arial"));
            QCOMPARE(label->font().pixelSize(), 9);
            QCOMPARE(int(label->pos().x()) + width(label), -10); // right edge at the stub's end
        }
        QCOMPARE(int(textItem(block, "a")->pos().y()), 20 - height(textItem(block, "a")) + 2);
        QCOMPARE(int(textItem(block, "b")->pos().y()), 40 - height(textItem(block, "b")) + 2);
        QCOMPARE(textItem(block, "o")->pos().x(), 50.0);

        QGraphicsSimpleTextItem* name = textItem(block, "Mix");
        QCOMPARE(name->font().pixelSize(), 11);
        QCOMPARE(name->pos(), QPointF(41 / 2.0 - width(name) / 2, 61 / 2.0 - height(name) / 2));
        QCOMPARE(block->zValue(), 1.0);
        QCOMPARE(name->zValue(), 0.5); // above the fill, relative to the block
    }

    void nameVariableRelabelsInPlace() {
        CanvasFixture canvas;
        ToolboxEntry* plain = canvas.type("Source", {}, {"o"});
        ToolboxEntry* named = canvas.type("Source", {}, {"o"});
        auto* definition = const_cast<BlockDefinition*>(named->definition());
        definition->addEditName("name");
        definition->appendValue("name", DynString("Foo"));
        definition->addEditName("gain");
        definition->appendValue("gain", DynString("2"));
        definition->appendValue("gain", DynString("3"));
        definition->addEditName("unset");

        BlockItem* reference = canvas.place(plain);
        BlockItem* block = canvas.place(named);
        QCOMPARE(reference->label(), QString("Source"));
        QCOMPARE(block->label(), QString("Foo"));
        QCOMPARE(block->variables().count(), 2); // an edit name without a value gives none
        QCOMPARE(QByteArray(block->variable("gain")), QByteArray("2"));
        QCOMPARE(block->variables().find("gain")->count(), 1);
        QVERIFY(!block->variable("unset"));

        // The centre stays where the type name's centre was.
        QGraphicsSimpleTextItem* typeName = textItem(reference, "Source");
        QGraphicsSimpleTextItem* label = textItem(block, "Foo");
        QCOMPARE(label->pos(), typeName->pos() + QPointF((width(typeName) - width(label)) / 2,
                                                         (height(typeName) - height(label)) / 2));
        block->setLabel("Source");
        QCOMPARE(textItem(block, "Source")->pos(), typeName->pos());
    }

    void selectionIsIdempotentAndShowsOnWires() {
        CanvasFixture canvas;
        ToolboxEntry* type = canvas.type("T", {"i"}, {"o"});
        BlockItem* a = canvas.place(type);
        BlockItem* b = canvas.place(type, 200, 0);
        WireItem* wire = canvas.connect(a, 1, b, 1);

        a->setSelected(true);
        a->setSelected(true);
        QCOMPARE(canvas.selection, QList<BlockItem*>{a});
        for (const QPen& pen : partPens(a)) {
            QCOMPARE(pen, selectionPen());
        }
        QVERIFY(wire->isSelected());
        QCOMPARE(wire->handleCount(), wire->segmentCount() - 1);

        a->setSelected(false);
        QVERIFY(canvas.selection.isEmpty());
        for (const QPen& pen : partPens(a)) {
            QCOMPARE(pen, normalPen());
        }
        QVERIFY(!wire->isSelected());

        b->setSelected(true);
        canvas.remove(b); // a selected block leaves the selection when destroyed
        QVERIFY(canvas.selection.isEmpty());
        QVERIFY(a->wires().isEmpty());
    }

    void portHitsAtThreePixelsNotFour() {
        CanvasFixture canvas;
        BlockItem* block = canvas.place(canvas.type("T", {"i"}, {"o"}), 100, 100);
        // Input 1's stub runs from (100, 120) to (90, 120).
        QPoint point(95, 123);
        bool horizontal = false;
        bool isInput = false;
        QCOMPARE(block->portAt(point, horizontal, isInput), 1);
        QCOMPARE(point, QPoint(90, 120));
        QVERIFY(horizontal);
        QVERIFY(isInput);
        point = QPoint(87, 120);
        QCOMPARE(block->portAt(point, horizontal, isInput), 1);
        point = QPoint(95, 124);
        QCOMPARE(block->portAt(point, horizontal, isInput), -1);
        QCOMPARE(point, QPoint(95, 124));
        point = QPoint(145, 120);
        QCOMPARE(block->portAt(point, horizontal, isInput), 1);
        QVERIFY(!isInput);
        QCOMPARE(point, QPoint(150, 120));
    }

    void deletingABlockTakesItsWires() {
        CanvasFixture canvas;
        ToolboxEntry* type = canvas.type("T", {"i", "j"}, {"o"});
        BlockItem* centre = canvas.place(type, 100, 0);
        BlockItem* left = canvas.place(type, 0, 0);
        BlockItem* right = canvas.place(type, 200, 0);
        canvas.connect(left, 1, centre, 1);
        canvas.connect(left, 1, centre, 2);
        canvas.connect(centre, 1, right, 2);
        QCOMPARE(centre->wires().size(), 3);
        const int itemsBefore = int(canvas.scene.items().size());
        canvas.remove(centre);
        QVERIFY(left->wires().isEmpty());
        QVERIFY(right->wires().isEmpty());
        QVERIFY(!right->inputWire(2));
        QVERIFY(int(canvas.scene.items().size()) < itemsBefore);
        for (QGraphicsItem* item : canvas.scene.items()) {
            QVERIFY(item->topLevelItem() == left || item->topLevelItem() == right);
        }
    }

    void generatedLabelsAndOddShapes() {
        CanvasFixture canvas;
        // Input 3 has no name; an input beyond the names takes no wire.
        BlockItem* block = canvas.place(canvas.type("T", {"a"}, {}, "j10l01sl03s."), 0, 0);
        QVERIFY(textItem(block, "a"));
        QVERIFY(textItem(block, "<in3>"));
        QPoint point(-5, 10);
        bool horizontal = false;
        bool isInput = false;
        QCOMPARE(block->portAt(point, horizontal, isInput), 0);
        auto* wire = new WireItem(0, 0, true, &canvas.scene);
        block->attachWire(wire, 3, true); // must not touch anything outside the slots
        QVERIFY(!block->inputWire(3));
        QVERIFY(!block->inputWire(0));
        QCOMPARE(block->inputWire(1), nullptr);
        block->detachWire(wire, 3, true);
        delete wire;

        // No "." at all: the outline is the origin alone; it builds and moves.
        BlockItem* dot = canvas.place(canvas.type("Dot", {}, {}, "eeenR01"), 5, 5);
        QCOMPARE(dot->outlineBounds(), QRect(0, 0, 1, 1));
        dot->moveBy(3, 4);
        QCOMPARE(dot->pos(), QPointF(8, 9));

        // Hundreds of ports.
        std::vector<std::string> inputs;
        for (int i = 1; i <= 300; ++i) {
            inputs.push_back("in" + std::to_string(i));
        }
        BlockItem* wide = canvas.place(canvas.type("Wide", inputs, {"o"}));
        QCOMPARE(wide->ports().size(), size_t(301));
        QVERIFY(textItem(wide, "in300"));
        QVERIFY(!wide->inputWire(301));
    }
};

QTEST_MAIN(TestBlockItem)
#include "test_blockitem.moc"
