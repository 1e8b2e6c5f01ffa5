#pragma once

#include <QPoint>

// Receives what the shape interpreter finds in a shape text, in text order: begin, then the
// outline edges and port stubs, then end. Every operation does nothing unless overridden.
class ShapeSink {
public:
    virtual ~ShapeSink() = default;

    virtual void begin() {}
    // One straight edge of the outline.
    virtual void segment(QPoint /*from*/, QPoint /*to*/) {}
    // One port stub from an outline point to its outer end. isInput is true for a lower-case port
    // letter; number is 0 when the text gives none.
    virtual void port(QPoint /*from*/, QPoint /*to*/, bool /*isInput*/, int /*number*/) {}
    virtual void end() {}
};
