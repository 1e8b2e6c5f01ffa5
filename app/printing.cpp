// The Print command: the whole canvas cut into framed, numbered pages.
#include "app/mainui.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "interaction/userinteraction.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {
constexpr int margin = 50;
constexpr int dotsPerInch = 100; // one canvas pixel prints as a hundredth of an inch

// Metrics in points (72 per inch), whatever the printer's resolution; the name's width is
// converted to printer units with the 100/72 rule.
QFontMetrics pointMetrics(const QFont& font) {
    QImage device(1, 1, QImage::Format_Mono);
    const int dotsPerMeter = qRound(72 / 0.0254);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    return QFontMetrics(font, &device);
}

// Pages run down the first column of page areas, then down the next column to the right.
void printPages(QPainter& painter, QPrinter& printer, CanvasHandler& editor,
                const QString& fileName) {
    const int width = printer.width() - 2 * margin;
    const int height = printer.height() - 2 * margin;
    const QFont font(QStringLiteral("Helvetica"), 12);
    const QFontMetrics metrics = pointMetrics(font);
    const int lineHeight = metrics.height();
    const int nameWidth = int(metrics.horizontalAdvance(fileName) * 100.0 / 72.0);
    const QSize canvasSize = editor.canvasSize();

    int x = 0;
    int y = 0;
    int page = 1;
    // Selected blocks and wires print with their normal pens.
    editor.saveSelection();
    painter.translate(margin, margin);
    for (;;) {
        // The origin maps (x, y) to the device point (margin, margin), so this is the device
        // rectangle (margin, margin, width, height).
        const QRect area(x, y, width, height);
        painter.setClipRect(area);
        editor.canvas()->render(&painter, area, area);
        // Rectangles are pixel-inclusive: the frame's last row and column are the area's own.
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.setFont(font);
        const int baseline = y + lineHeight + 4;
        painter.drawText(x + 4, baseline, MainUI::tr("Page: %1").arg(page));
        ++page;
        painter.drawText(x + width - nameWidth - 4, baseline, fileName);

        if (y + height < canvasSize.height()) {
            painter.translate(0, -height);
            y += height;
        } else if (x + width < canvasSize.width()) {
            painter.translate(-width, y); // back to the top, one column to the right
            x += width;
            y = 0;
        } else {
            break;
        }
        printer.newPage();
    }
    editor.restoreSelection();
}
} // namespace

void MainUI::PrinterDeleter::operator()(QPrinter* printer) const {
    delete printer;
}

void MainUI::print() {
    if (!printer_) {
        printer_.reset(new QPrinter(QPrinter::ScreenResolution));
        printer_->setResolution(dotsPerInch);
    }
    QPrintDialog dialog(printer_.get(), this);
    if (interaction().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        return; // e.g. an output file that cannot be written; the printer reports nothing more
    }
    printPages(painter, *printer_, *canvas_, QFileInfo(designPath_).fileName());
    painter.end();
}
