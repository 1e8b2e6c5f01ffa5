#pragma once

#include <QByteArrayView>

class ShapeSink;

// Steps and port numbers saturate here: the text's digits are read greedily, and a long run of
// them must not overflow.
inline constexpr int kShapeNumberLimit = 100000;
// Points reported to a sink are clamped to this distance from the origin on each axis, so that
// sinks can add stub lengths and take widths in int without overflowing.
inline constexpr int kShapeCoordinateLimit = 1000000;

// Reads a shape text and reports its outline and ports to the sink. Any text is accepted; a null
// pointer reads as the empty text.
void interpretShape(QByteArrayView text, ShapeSink& sink);
