#include "shapes/shapeicon.h"

#include "shapes/shapebounds.h"
#include "shapes/shapeinterpreter.h"
#include "shapes/shapepainter.h"

#include <QBitmap>
#include <QPainter>

#include <algorithm>

namespace {

void paintShape(QPaintDevice* device, QByteArrayView text, const QRect& bounds, float scale,
                bool closed) {
    QPainter painter(device);
    painter.scale(scale, scale);
    painter.translate(-bounds.left(), -bounds.top());
    // Cosmetic, so that edges stay one pixel wide when the shape is scaled down to fit.
    QPen pen(QColor(0, 0, 0), 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(QColor(0, 0, 0));
    ShapePainter shapePainter(&painter, closed);
    interpretShape(text, shapePainter);
}

} // namespace

QPixmap renderShapeIcon(QByteArrayView text, int height) {
    ShapeBounds bounds(true);
    interpretShape(text, bounds);
    const QRect b = bounds.rect();

    if (height <= 0) {
        height = b.height();
    }
    float scale = static_cast<float>(height) / static_cast<float>(b.height());
    const float width = static_cast<float>(b.width()) * scale;

    int iconWidth = 0;
    int iconHeight = 0;
    if (width <= kShapeIconLimit && height <= kShapeIconLimit) {
        iconWidth = static_cast<int>(width);
        iconHeight = height;
    } else {
        // Fit the longer side into the limit instead of allocating whatever the text asks for.
        // Its far edge is aimed a quarter pixel into the last pixel, and each side keeps a
        // quarter pixel of margin, so rounding in the painter's transform cannot push an edge
        // off the icon.
        const int span = std::max(b.width(), b.height()) - 1;
        scale = std::min(scale, (kShapeIconLimit - 0.75f) / static_cast<float>(std::max(span, 1)));
        const auto side = [scale](int extent) {
            const double far = static_cast<double>(extent - 1) * scale;
            return std::min(static_cast<int>(far + 0.25) + 1, kShapeIconLimit);
        };
        iconWidth = side(b.width());
        iconHeight = side(b.height());
    }
    // A sliver of a shape still gets a pixel, so the painters always have a device.
    iconWidth = std::max(iconWidth, 1);
    iconHeight = std::max(iconHeight, 1);

    QPixmap pixmap(iconWidth, iconHeight);
    pixmap.fill(Qt::white);
    QBitmap mask(iconWidth, iconHeight);
    mask.fill(Qt::color0);

    paintShape(&pixmap, text, b, scale, false);
    paintShape(&mask, text, b, scale, true);

    pixmap.setMask(mask);
    return pixmap;
}
