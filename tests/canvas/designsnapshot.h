#pragma once

#include "canvas/blockitem.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>

// The whole design as lines of text, for QCOMPARE: every block with its type, position, depth,
// label and variables, then every wire with its two ends and all its points. Undo re-creates
// blocks, which puts them last in creation order, so blocks are listed by depth and position
// instead, and wires name their blocks by that place.
inline QStringList designSnapshot(const DesignCanvas& canvas) {
    std::vector<BlockItem*> blocks = canvas.blocks();
    std::stable_sort(blocks.begin(), blocks.end(), [](const BlockItem* a, const BlockItem* b) {
        if (a->z() != b->z()) {
            return a->z() < b->z();
        }
        return a->pos().x() != b->pos().x() ? a->pos().x() < b->pos().x()
                                            : a->pos().y() < b->pos().y();
    });
    QHash<const BlockItem*, int> place;
    QStringList lines;
    QSet<const WireItem*> wires;
    for (const BlockItem* block : blocks) {
        place.insert(block, int(place.size()));
        QStringList variables;
        for (const auto& variable : block->variables()) {
            QStringList values;
            for (const DynString& value : *variable.payload) {
                values << QString::fromLatin1(value.text() ? value.text() : "");
            }
            variables << QString::fromStdString(variable.name) + "=[" + values.join(',') + "]";
        }
        lines << QString("block %1 at (%2,%3) z %4 label \"%5\" %6")
                     .arg(QString::fromStdString(block->entry()->name()))
                     .arg(block->pos().x())
                     .arg(block->pos().y())
                     .arg(block->z())
                     .arg(block->label(), variables.join(' '));
        for (const WireItem* wire : block->wires()) {
            wires.insert(wire);
        }
    }
    QStringList wireLines;
    for (const WireItem* wire : wires) {
        const auto end = [&place](const WireEnd& e) {
            return e.block ? QString("%1.%2%3")
                                 .arg(place.value(e.block))
                                 .arg(e.isInput ? "in" : "out")
                                 .arg(e.port)
                           : QString("none");
        };
        QStringList points;
        for (QPoint p : wire->points()) {
            points << QString("(%1,%2)").arg(p.x()).arg(p.y());
        }
        wireLines << QString("wire %1 -> %2 %3 %4")
                         .arg(end(wire->firstEnd()), end(wire->secondEnd()),
                              wire->firstHorizontal() ? "h" : "v", points.join(' '));
    }
    wireLines.sort();
    return lines + wireLines;
}
