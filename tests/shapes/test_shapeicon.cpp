#include "shapes/defaultshapetext.h"
#include "shapes/shapeicon.h"

#include <QBitmap>
#include <QImage>
#include <QtTest/QtTest>

namespace {

// One letter per pixel: T transparent, W opaque white, B opaque black, ? anything else.
char classify(QRgb pixel) {
    if (qAlpha(pixel) == 0) {
        return 'T';
    }
    if (qAlpha(pixel) != 255) {
        return '?';
    }
    const QRgb colour = pixel & 0xffffff;
    return colour == 0xffffff ? 'W' : colour == 0 ? 'B' : '?';
}

QByteArray row(const QImage& image, int y) {
    QByteArray letters;
    for (int x = 0; x < image.width(); ++x) {
        letters += classify(image.pixel(x, y));
    }
    return letters;
}

QByteArray column(const QImage& image, int x) {
    QByteArray letters;
    for (int y = 0; y < image.height(); ++y) {
        letters += classify(image.pixel(x, y));
    }
    return letters;
}

QByteArray runs(std::initializer_list<std::pair<int, char>> parts) {
    QByteArray letters;
    for (const auto& [count, letter] : parts) {
        letters += QByteArray(count, letter);
    }
    return letters;
}

QImage image(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestShapeIcon : public QObject {
    Q_OBJECT
private slots:
    void defaultShapeIconAtNaturalSize() {
        const QPixmap pixmap = renderShapeIcon(defaultShapeText(2, 1), -1);
        QCOMPARE(pixmap.size(), QSize(61, 61));
        QCOMPARE(pixmap.mask().depth(), 1);
        const QImage icon = image(pixmap);

        // The outline spans x 10 to 50; input stubs reach left to 0, the output stub right to 60.
        QCOMPARE(row(icon, 0), runs({{10, 'T'}, {41, 'B'}, {10, 'T'}}));
        QCOMPARE(row(icon, 10), runs({{10, 'T'}, {1, 'B'}, {39, 'W'}, {1, 'B'}, {10, 'T'}}));
        QCOMPARE(row(icon, 20), runs({{11, 'B'}, {39, 'W'}, {11, 'B'}}));
        QCOMPARE(row(icon, 40), runs({{11, 'B'}, {39, 'W'}, {1, 'B'}, {10, 'T'}}));
        QCOMPARE(row(icon, 60), row(icon, 0));
        QCOMPARE(column(icon, 5), runs({{20, 'T'}, {1, 'B'}, {19, 'T'}, {1, 'B'}, {20, 'T'}}));
        QCOMPARE(column(icon, 30), runs({{1, 'B'}, {59, 'W'}, {1, 'B'}}));

        // More outputs than inputs: R = 3 rows of ports.
        QCOMPARE(renderShapeIcon(defaultShapeText(1, 3), 0).size(), QSize(61, 81));
        // Without ports there are no stubs to widen the icon.
        QCOMPARE(renderShapeIcon(defaultShapeText(0, 0), -5).size(), QSize(41, 21));
        QCOMPARE(renderShapeIcon("", -1).size(), QSize(1, 1));
    }

    void requestedHeightScalesBothSides() {
        // 41 x 21 at 30 pixels high: 41 * 30 / 21 = 58.57, truncated.
        const QPixmap pixmap = renderShapeIcon("j20s.ee.n.", 30);
        QCOMPARE(pixmap.size(), QSize(58, 30));
        QCOMPARE(classify(image(pixmap).pixel(29, 15)), 'W');
        QCOMPARE(renderShapeIcon("j20s.ee.n.", 42).size(), QSize(82, 42));
    }

    void outlineIsFilledOddEven() {
        // The square is walked twice, so its inside is outside under the odd-even rule.
        const QImage icon = image(renderShapeIcon("j20e.s.w.n.e.s.w.n.", -1));
        QCOMPARE(icon.size(), QSize(21, 21));
        QCOMPARE(row(icon, 10), runs({{1, 'B'}, {19, 'T'}, {1, 'B'}}));
        QCOMPARE(row(icon, 20), QByteArray(21, 'B'));
    }

    void oversizedIconsAreCapped() {
        // Scaled down to the limit with all four edges still on the icon.
        const QImage square = image(renderShapeIcon("j100000s.e.n.", -1));
        QCOMPARE(square.size(), QSize(kShapeIconLimit, kShapeIconLimit));
        const int last = kShapeIconLimit - 1;
        const QByteArray side(kShapeIconLimit, 'B');
        const QByteArray across = runs({{1, 'B'}, {last - 1, 'W'}, {1, 'B'}});
        QCOMPARE(column(square, 0), side);
        QCOMPARE(column(square, last), side);
        QCOMPARE(row(square, 0), side);
        QCOMPARE(row(square, last), side);
        QCOMPARE(row(square, last / 2), across);

        const QImage wide = image(renderShapeIcon("j50000ss.eeee.nn.", -1));
        QCOMPARE(wide.size(), QSize(kShapeIconLimit, 256));
        QCOMPARE(column(wide, last), QByteArray(256, 'B'));
        QCOMPARE(row(wide, 255), side);

        // A huge requested height is capped too; the limit itself is an ordinary size.
        QCOMPARE(renderShapeIcon(defaultShapeText(2, 1), 100000000).size(),
                 QSize(kShapeIconLimit, kShapeIconLimit));
        const QImage atLimit = image(renderShapeIcon("j511e.", -1));
        QCOMPARE(atLimit.size(), QSize(kShapeIconLimit, 1));
        QCOMPARE(row(atLimit, 0), side);
        const QImage asked = image(renderShapeIcon("j20s.ee.n.", 600));
        QCOMPARE(asked.size(), QSize(kShapeIconLimit, 256));
        QCOMPARE(column(asked, last), QByteArray(256, 'B'));
        QCOMPARE(row(asked, 255), side);
    }
};

QTEST_MAIN(TestShapeIcon)
#include "test_shapeicon.moc"
