#pragma once

#include <QBrush>
#include <QPen>

// The two pens shared by every block edge, port stub and wire of the process, and the block fill.
const QPen& normalPen();
const QPen& selectionPen();
const QBrush& blockFill();
