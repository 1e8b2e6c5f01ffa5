#pragma once

#include <QByteArrayView>
#include <QPixmap>

// Neither side of an icon grows beyond this; a larger shape is scaled down to fit.
inline constexpr int kShapeIconLimit = 512;

// The shape drawn as a masked icon: black outline and port stubs, white inside, transparent
// elsewhere. The shape (stubs included) is scaled to the given height; a height of 0 or less
// keeps the shape's own size.
QPixmap renderShapeIcon(QByteArrayView text, int height);
