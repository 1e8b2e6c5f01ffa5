#include "shapes/shapeinterpreter.h"

#include "shapes/shapesink.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kStubLength = 10;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads every digit from position i on, moving i past them; 0 when none follow.
int readNumber(QByteArrayView text, qsizetype& i) {
    int value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kShapeNumberLimit);
    }
    return value;
}

// The walk is kept in 64 bits: each move adds at most the number limit, so no text that fits in
// memory can overflow it. Only the reported points are clamped.
struct Point64 {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

int clampCoordinate(std::int64_t v) {
    return static_cast<int>(
        std::clamp<std::int64_t>(v, -kShapeCoordinateLimit, kShapeCoordinateLimit));
}

QPoint reported(Point64 p) {
    return QPoint(clampCoordinate(p.x), clampCoordinate(p.y));
}

} // namespace

void interpretShape(QByteArrayView text, ShapeSink& sink) {
    Point64 current;
    Point64 segmentStart;
    std::int64_t step = 10;

    sink.begin();
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i++];
        switch (c) {
        case 'n':
            current.y -= step;
            break;
        case 's':
            current.y += step;
            break;
        case 'e':
            current.x += step;
            break;
        case 'w':
            current.x -= step;
            break;
        case '.':
            sink.segment(reported(segmentStart), reported(current));
            segmentStart = current;
            break;
        case 'j':
            step = readNumber(text, i);
            break;
        case 'L':
        case 'l':
        case 'R':
        case 'r':
        case 'U':
        case 'u':
        case 'D':
        case 'd': {
            const bool isInput = c == 'l' || c == 'r' || c == 'u' || c == 'd';
            const int number = readNumber(text, i);
            const QPoint from = reported(current);
            QPoint to = from;
            switch (c) {
            case 'L':
            case 'l':
                to.rx() -= kStubLength;
                break;
            case 'R':
            case 'r':
                to.rx() += kStubLength;
                break;
            case 'U':
            case 'u':
                to.ry() -= kStubLength;
                break;
            default:
                to.ry() += kStubLength;
                break;
            }
            sink.port(from, to, isInput, number);
            break;
        }
        default:
            break;
        }
    }
    sink.segment(reported(segmentStart), QPoint(0, 0));
    sink.end();
}
