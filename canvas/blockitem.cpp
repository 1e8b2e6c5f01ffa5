#include "canvas/blockitem.h"

#include "canvas/designcanvas.h"
#include "canvas/pens.h"
#include "canvas/wireitem.h"
#include "definitions/blockdefinition.h"
#include "definitions/catalogue.h"
#include "definitions/toolboxentry.h"
#include "shapes/shapebounds.h"
#include "shapes/shapeinterpreter.h"

#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <optional>

namespace {
QFont labelFont(int pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    return font;
}

// Text items measure in reals; placement works in whole pixels.
int textWidth(const QGraphicsSimpleTextItem* item) {
    return int(item->boundingRect().width());
}
int textHeight(const QGraphicsSimpleTextItem* item) {
    return int(item->boundingRect().height());
}

QString portLabelText(const ToolboxEntry& entry, bool isInput, int number) {
    const std::vector<std::string>& names = isInput ? entry.inputNames() : entry.outputNames();
    if (number >= 1 && std::size_t(number) <= names.size()) {
        return QString::fromLatin1(names[std::size_t(number) - 1]);
    }
    return QStringLiteral("<%1%2>").arg(isInput ? "in" : "out").arg(number);
}

QPoint shiftForStub(QPoint from, QPoint to, int w, int h) {
    if (from.y() > to.y()) {
        return {2, -h + 2};
    }
    if (from.y() < to.y()) {
        return {2, 2};
    }
    if (from.x() > to.x()) {
        return {-w, -h + 2};
    }
    if (from.x() < to.x()) {
        return {0, -h + 2};
    }
    return {0, 0};
}
} // namespace

// Turns a shape text into the block's outline points, port stubs and port labels.
class OutlineBuilder : public ShapeSink {
public:
    explicit OutlineBuilder(BlockItem& block) : block_(block) {}

    void segment(QPoint from, QPoint to) override {
        if (points.isEmpty()) {
            points.append(from);
        }
        points.append(to);
        bounds.segment(from, to);
    }

    void port(QPoint from, QPoint to, bool isInput, int number) override {
        auto* stub = new QGraphicsLineItem(QLineF(from, to), &block_);
        stub->setPen(normalPen());
        stub->setZValue(0.5);
        block_.ports_.push_back({stub, isInput, number});
        if (number <= 0) {
            return;
        }
        auto* label =
            new QGraphicsSimpleTextItem(portLabelText(*block_.entry_, isInput, number), &block_);
        label->setFont(labelFont(9));
        label->setZValue(0.5);
        label->setPos(to + shiftForStub(from, to, textWidth(label), textHeight(label)));
        block_.labels_.append(label);
    }

    QPolygon points;
    ShapeBounds bounds{false};

private:
    BlockItem& block_;
};

BlockItem::BlockItem(QGraphicsScene* canvas, QList<BlockItem*>* selectionList, ToolboxEntry* entry,
                     float z)
    : entry_(entry), selectionList_(selectionList), z_(z) {
    inputSlots_.assign(entry->inputNames().size(), nullptr);

    if (const BlockDefinition* definition = entry->definition()) {
        addEditVariables(*definition, variables_);
    }

    OutlineBuilder builder(*this);
    builder.bounds.begin();
    interpretShape(entry->shape(), builder);
    outlineBounds_ = builder.bounds.rect();

    setPolygon(builder.points);
    setBrush(blockFill());
    setPen(Qt::NoPen);
    setZValue(z);
    for (qsizetype i = 0, n = builder.points.size(); i < n; ++i) {
        auto* edge =
            new QGraphicsLineItem(QLineF(builder.points[i], builder.points[(i + 1) % n]), this);
        edge->setPen(normalPen());
        edge->setZValue(0.5);
        edges_.append(edge);
    }

    nameLabel_ = new QGraphicsSimpleTextItem(QString::fromLatin1(entry->name()), this);
    nameLabel_->setFont(labelFont(11));
    nameLabel_->setZValue(0.5);
    const QRect& b = outlineBounds_;
    nameLabel_->setPos(b.left() + b.width() / 2.0 - textWidth(nameLabel_) / 2,
                       b.top() + b.height() / 2.0 - textHeight(nameLabel_) / 2);
    labels_.append(nameLabel_);
    if (const char* name = variable("name")) {
        setLabel(QString::fromLatin1(name));
    }
    canvas->addItem(this);
    registry_ = qobject_cast<DesignCanvas*>(canvas);
    if (registry_) {
        registryKey_ = registry_->registerBlock(this);
    }
}

BlockItem::~BlockItem() {
    if (registry_) {
        registry_->unregisterBlock(registryKey_);
        registry_->itemDestroyed(this);
    }
    if (selected_ && selectionList_) {
        selectionList_->removeAll(this);
    }
    // Each wire detaches itself from both its blocks when it goes.
    while (!wires_.isEmpty()) {
        delete wires_.first();
    }
}

void BlockItem::takeCanvasPlace(std::uint64_t place) {
    if (registry_) {
        registryKey_ = registry_->moveBlock(registryKey_, place);
    }
}

void BlockItem::moveBy(qreal dx, qreal dy) {
    QGraphicsPolygonItem::moveBy(dx, dy);
    const int wholeDx = int(dx);
    const int wholeDy = int(dy);
    for (WireItem* wire : wires_) {
        wire->setMoveMark(false);
    }
    for (WireItem* wire : wires_) {
        if (!wire->setMoveMark(true)) {
            wire->followBlock(this, wholeDx, wholeDy);
        }
    }
}

void BlockItem::setSelected(bool selected) {
    if (selected == selected_) {
        return;
    }
    const QPen& pen = selected ? selectionPen() : normalPen();
    for (QGraphicsLineItem* edge : edges_) {
        edge->setPen(pen);
    }
    for (const PortItem& port : ports_) {
        port.stub->setPen(pen);
    }
    setWiresPen(pen);
    if (selectionList_) {
        if (selected) {
            selectionList_->append(this);
        } else {
            selectionList_->removeAll(this);
        }
    }
    selected_ = selected;
}

void BlockItem::setLabel(const QString& text) {
    if (!nameLabel_) {
        return;
    }
    const int oldWidth = textWidth(nameLabel_);
    const int oldHeight = textHeight(nameLabel_);
    nameLabel_->setText(text);
    nameLabel_->moveBy((oldWidth - textWidth(nameLabel_)) / 2,
                       (oldHeight - textHeight(nameLabel_)) / 2);
}

QString BlockItem::label() const {
    return nameLabel_ ? nameLabel_->text() : QString();
}

const char* BlockItem::variable(const char* name) const {
    const ValueList* values = variables_.find(name);
    return values ? values->text(0) : nullptr;
}

int BlockItem::portAt(QPoint& point, bool& horizontal, bool& isInput) const {
    const QPointF local = point - pos();
    for (const PortItem& port : ports_) {
        const QLineF line = port.stub->line();
        const QRectF area = QRectF(line.p1(), line.p2()).normalized().adjusted(-3, -3, 3, 3);
        if (!area.contains(local)) {
            continue;
        }
        const QPointF outer = pos() + line.p2();
        point = QPoint(int(outer.x()), int(outer.y()));
        horizontal = line.p2().x() != line.p1().x();
        isInput = port.isInput;
        // An input beyond the type's input names has no slot to record a wire in.
        if (port.isInput && std::size_t(port.number) > inputSlots_.size()) {
            return 0;
        }
        return port.number;
    }
    return -1;
}

bool BlockItem::fitToStubEnd(int number, bool isInput, QPoint& point) const {
    std::optional<QPoint> first;
    for (const PortItem& port : ports_) {
        if (port.number != number || port.isInput != isInput) {
            continue;
        }
        const QPoint end = (pos() + port.stub->line().p2()).toPoint();
        if (end == point) {
            return false;
        }
        if (!first) {
            first = end;
        }
    }
    if (first) {
        point = *first;
    }
    return first.has_value();
}

WireItem* BlockItem::inputWire(int port) const {
    if (port < 1 || std::size_t(port) > inputSlots_.size()) {
        return nullptr;
    }
    return inputSlots_[std::size_t(port) - 1];
}

void BlockItem::attachWire(WireItem* wire, int port, bool isInput) {
    if (isInput && port >= 1 && std::size_t(port) <= inputSlots_.size()) {
        inputSlots_[std::size_t(port) - 1] = wire;
    }
    wires_.append(wire);
}

void BlockItem::detachWire(WireItem* wire, int port, bool isInput) {
    if (isInput && port >= 1 && std::size_t(port) <= inputSlots_.size() &&
        inputSlots_[std::size_t(port) - 1] == wire) {
        inputSlots_[std::size_t(port) - 1] = nullptr;
    }
    // A wire with both ends here stands in the list twice; each detach removes one.
    wires_.removeOne(wire);
}

int BlockItem::outputWires(int port, QList<WireItem*>& list) const {
    int added = 0;
    for (qsizetype i = 0; i < wires_.size(); ++i) {
        WireItem* wire = wires_[i];
        const WireEnd end = wire->outputEnd();
        // A wire with both ends here stands in the list twice: count its first place only.
        if (end.block == this && end.port == port && wires_.indexOf(wire) == i) {
            list.append(wire);
            ++added;
        }
    }
    return added;
}

WireItem* BlockItem::wireAt(QPoint point) const {
    for (WireItem* wire : wires_) {
        if (wire->contains(point)) {
            return wire;
        }
    }
    return nullptr;
}

WireItem* BlockItem::handleAt(QPoint point, int& handleIndex) const {
    for (WireItem* wire : wires_) {
        const int index = wire->handleAt(point);
        if (index >= 0) {
            handleIndex = index;
            return wire;
        }
    }
    return nullptr;
}

void BlockItem::setWiresPen(const QPen& pen) {
    for (WireItem* wire : wires_) {
        wire->setPen(pen);
    }
}

void BlockItem::snapshotWireGeometry() {
    for (WireItem* wire : wires_) {
        wire->snapshotGeometry();
    }
}
