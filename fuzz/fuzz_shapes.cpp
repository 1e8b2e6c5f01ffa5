// Fuzzes the shape interpreter, the bounds sink and the toolbox icon on any text.
//
// Beyond not crashing it checks what must hold for any shape: the sink hears begin first and
// end last, once each; the outline is one chain from the origin back to it, with one edge per
// "." and the closing one; there is one port per port letter, in order, with the letter's
// direction and kind, a stub of 10 and a number within the limit; reported points stay within
// the coordinate limit; the bounds are exactly the extremes of what was reported; and the icon
// has the size its rule gives, never more than the icon limit on a side.
#include "shapes/shapebounds.h"
#include "shapes/shapeicon.h"
#include "shapes/shapeinterpreter.h"

#include <QBitmap>
#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

struct Port {
    QPoint from;
    QPoint to;
    bool isInput;
    int number;
};

class Recorder : public ShapeSink {
public:
    void begin() override { events += 'b'; }
    void segment(QPoint from, QPoint to) override {
        events += 's';
        segments.push_back({from, to});
    }
    void port(QPoint from, QPoint to, bool isInput, int number) override {
        events += 'p';
        ports.push_back({from, to, isInput, number});
    }
    void end() override { events += 'e'; }

    std::string events;
    std::vector<std::pair<QPoint, QPoint>> segments;
    std::vector<Port> ports;
};

bool within(QPoint p, int limit) {
    return std::abs(p.x()) <= limit && std::abs(p.y()) <= limit;
}

void widen(QRect& rect, QPoint p) {
    rect.setCoords(std::min(rect.left(), p.x()), std::min(rect.top(), p.y()),
                   std::max(rect.right(), p.x()), std::max(rect.bottom(), p.y()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the icon height: the natural one, or a small given one.
    const int height = data[0] < 128 ? -1 : data[0] % 64;
    const QByteArray text(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    Recorder recorder;
    interpretShape(text, recorder);
    check(recorder.events.size() >= 3 && recorder.events.front() == 'b' &&
          recorder.events.back() == 'e');
    check(recorder.events.find_first_of("be", 1) == recorder.events.size() - 1);

    const auto letters = std::count_if(text.begin(), text.end(), [](char c) {
        return std::string_view("LlRrUuDd").find(c) != std::string_view::npos;
    });
    check(std::count(text.begin(), text.end(), '.') + 1 == qsizetype(recorder.segments.size()));
    check(qsizetype(recorder.ports.size()) == letters);

    QPoint previous(0, 0);
    QRect outline;
    for (const auto& [from, to] : recorder.segments) {
        check(from == previous);
        check(within(to, kShapeCoordinateLimit));
        widen(outline, from);
        widen(outline, to);
        previous = to;
    }
    check(previous == QPoint(0, 0));

    QRect withPorts = outline;
    std::size_t next = 0;
    for (const char c : text) {
        const std::size_t kind = std::string_view("LlRrUuDd").find(c);
        if (kind == std::string_view::npos)
            continue;
        const Port& port = recorder.ports[next++];
        const QPoint stub = port.to - port.from;
        const QPoint expected[] = {{-10, 0}, {10, 0}, {0, -10}, {0, 10}};
        check(stub == expected[kind / 2]);
        check(port.isInput == (kind % 2 == 1));
        check(port.number >= 0 && port.number <= kShapeNumberLimit);
        check(within(port.from, kShapeCoordinateLimit));
        widen(withPorts, port.from);
        widen(withPorts, port.to);
    }

    ShapeBounds bounds(false);
    interpretShape(text, bounds);
    check(bounds.rect() == outline);
    ShapeBounds all(true);
    interpretShape(text, all);
    check(all.rect() == withPorts);

    const QPixmap icon = renderShapeIcon(text, height);
    check(icon.width() >= 1 && icon.width() <= kShapeIconLimit);
    check(icon.height() >= 1 && icon.height() <= kShapeIconLimit);
    const QBitmap mask = icon.mask(); // none when every pixel is covered
    check(mask.isNull() || mask.size() == icon.size());
    const int asked = height > 0 ? height : withPorts.height();
    const float scale = static_cast<float>(asked) / static_cast<float>(withPorts.height());
    const float width = static_cast<float>(withPorts.width()) * scale;
    if (width <= kShapeIconLimit && asked <= kShapeIconLimit)
        check(icon.size() == QSize(std::max(static_cast<int>(width), 1), std::max(asked, 1)));
    return 0;
}
