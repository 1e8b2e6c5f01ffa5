#include "export/designpicture.h"

#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {
constexpr int margin = 10;
// Beyond this a PNG would take more than half a gigabyte while it is drawn.
constexpr qint64 largestPngPixels = qint64(1) << 27;

QString tr(const char* text) {
    return QCoreApplication::translate("DesignPicture", text);
}

// While it lives, the canvas shows the design alone.
class EditingMarksHidden {
public:
    explicit EditingMarksHidden(CanvasHandler& editor) : editor_(editor) {
        editor_.hideEditingMarks();
    }
    ~EditingMarksHidden() { editor_.showEditingMarks(); }
    EditingMarksHidden(const EditingMarksHidden&) = delete;
    EditingMarksHidden& operator=(const EditingMarksHidden&) = delete;

private:
    CanvasHandler& editor_;
};

// The bounding box of everything drawn, not the whole canvas, which grows as the person works.
QRect pictureArea(const QGraphicsScene& canvas) {
    QRectF box;
    for (const QGraphicsItem* item : canvas.items()) {
        if (item->isVisible() && !(item->flags() & QGraphicsItem::ItemHasNoContents)) {
            box |= item->sceneBoundingRect();
        }
    }
    return box.toAlignedRect().adjusted(-margin, -margin, margin, margin);
}

void draw(QPainter& painter, QGraphicsScene& canvas, const QRect& area, int scale) {
    const QRectF target(0, 0, area.width() * scale, area.height() * scale);
    painter.fillRect(target, Qt::white);
    // As the view draws: smooth text, crisp lines.
    painter.setRenderHint(QPainter::TextAntialiasing);
    canvas.render(&painter, target, area, Qt::IgnoreAspectRatio);
}

bool pngBytes(QGraphicsScene& canvas, const QRect& area, int scale, QBuffer& out, QString& error) {
    const QSize size = area.size() * scale;
    QImage image;
    if (qint64(size.width()) * size.height() <= largestPngPixels) {
        image = QImage(size, QImage::Format_RGB32);
    }
    if (image.isNull()) {
        error =
            tr("The picture is too large (%1 x %2 pixels).").arg(size.width()).arg(size.height());
        return false;
    }
    QPainter painter(&image);
    draw(painter, canvas, area, scale);
    painter.end();
    image.setDotsPerMeterX(qRound(96 * scale / 0.0254));
    image.setDotsPerMeterY(qRound(96 * scale / 0.0254));
    if (!image.save(&out, "PNG")) {
        error = tr("The picture could not be encoded as PNG.");
        return false;
    }
    return true;
}

void svgBytes(QGraphicsScene& canvas, const QRect& area, const QString& title, QBuffer& out) {
    QBuffer generated;
    generated.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&generated);
    generator.setTitle(title);
    generator.setDescription(QString());
    generator.setResolution(96); // shown at the size of the screen's canvas
    generator.setSize(area.size());
    generator.setViewBox(QRect(QPoint(0, 0), area.size()));
    QPainter painter(&generator);
    draw(painter, canvas, area, 1);
    painter.end();
    // The generator opens a group at every change of the painter's state, most of them empty;
    // without those the file is half the size.
    static const QRegularExpression emptyGroup(QStringLiteral("<g [^>]*>\\s*</g>\\s*"));
    out.write(QString::fromUtf8(generated.data()).remove(emptyGroup).toUtf8());
}

void pdfBytes(QGraphicsScene& canvas, const QRect& area, QBuffer& out) {
    QPdfWriter writer(&out);
    // One canvas pixel per point keeps the page a whole number of points, as PDF stores it.
    writer.setResolution(72);
    writer.setPageSize(
        QPageSize(QSizeF(area.size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setCreator(QStringLiteral("Draftel"));
    QPainter painter(&writer);
    draw(painter, canvas, area, 1);
}

// Replaces the file only when every byte reached the disk.
bool writeFile(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
} // namespace

std::optional<PictureFormat> pictureFormatOfName(const QString& path) {
    for (PictureFormat format : {PictureFormat::Png, PictureFormat::Svg, PictureFormat::Pdf}) {
        if (QFileInfo(path).suffix().compare(pictureExtension(format), Qt::CaseInsensitive) == 0) {
            return format;
        }
    }
    return std::nullopt;
}

QString pictureExtension(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png:
        return QStringLiteral("png");
    case PictureFormat::Svg:
        return QStringLiteral("svg");
    case PictureFormat::Pdf:
        break;
    }
    return QStringLiteral("pdf");
}

bool writeDesignPicture(CanvasHandler& editor, const QString& path, const PictureOptions& options,
                        QString& error) {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        const EditingMarksHidden designAlone(editor);
        QGraphicsScene& canvas = *editor.canvas();
        const QRect area = pictureArea(canvas);
        switch (options.format) {
        case PictureFormat::Png:
            if (!pngBytes(canvas, area, options.scale, bytes, error)) {
                return false;
            }
            break;
        case PictureFormat::Svg:
            svgBytes(canvas, area, QFileInfo(path).completeBaseName(), bytes);
            break;
        case PictureFormat::Pdf:
            pdfBytes(canvas, area, bytes);
            break;
        }
    }
    return writeFile(path, bytes.data(), error);
}
