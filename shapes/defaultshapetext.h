#pragma once

#include <QByteArray>

// The shape text of a block type that gives none: a rectangle 40 wide and 20 per row high, one row
// per port of the longer side, inputs numbered down the left side and outputs down the right.
// Port numbers have at least two digits (01 to 99, then 100 and up as they come).
QByteArray defaultShapeText(int inputs, int outputs);
