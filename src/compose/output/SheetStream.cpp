#include "SheetStream.h"

#include "common/ImageMemory.h"
#include "compose/output/PngRows.h"

#include <QPainter>

#include <algorithm>
#include <limits>

namespace vexilo {

namespace {

// Sheet row of the topmost canvas row: negative pitches stack the canvases upwards.
qint64 sheetTop(const CanvasSource &source)
{
    return std::min<qint64>(0, qint64(source.canvasCount() - 1) * source.canvasPitch());
}

} // namespace

QImage rowsOf(QImage &image, int top, int height)
{
    return QImage(image.bits() + qsizetype(top) * image.bytesPerLine(), image.width(), height,
                  image.bytesPerLine(), image.format());
}

qint64 sheetHeight(const CanvasSource &source)
{
    const qint64 last = qint64(source.canvasCount() - 1) * source.canvasPitch();
    const qint64 height = source.canvasSize().height();
    return std::max(height, last + height) - sheetTop(source);
}

std::vector<SheetBand> sheetBands(const CanvasSource &source)
{
    const qint32 count = source.canvasCount();
    const qint64 height = source.canvasSize().height();
    const qint64 pitch = source.canvasPitch();
    const qint64 top = sheetTop(source);
    std::vector<SheetBand> bands;
    if (count < 1 || height < 1)
        return bands;
    for (qint32 k = 0; k < count; ++k) {
        // Only the next canvas can cover this one: the later ones lie beyond it.
        qint64 from = 0;
        qint64 to = height;
        if (k + 1 < count) {
            if (pitch >= 0)
                to = std::min(height, pitch);
            else
                from = std::max<qint64>(0, height + pitch);
        }
        if (from < to)
            bands.push_back({k, static_cast<qint32>(from), static_cast<qint32>(to - from),
                             qint64(k) * pitch - top + from});
    }
    if (pitch < 0)
        std::reverse(bands.begin(), bands.end());
    return bands;
}

QImage::Format canvasFormat(const OutputOptions &options)
{
    return options.transparent && options.format != OutputFormat::Bmp
               ? QImage::Format_ARGB32_Premultiplied
               : QImage::Format_RGB32;
}

bool writeWholePng(const CanvasSource &source, const OutputOptions &options, QIODevice &device)
{
    const QSize canvas = source.canvasSize();
    const qint64 height = sheetHeight(source);
    if (canvas.isEmpty() || height > std::numeric_limits<int>::max())
        return false;
    const QImage::Format format = canvasFormat(options);
    QImage buffer = canvasBuffer(canvas, format);
    if (buffer.isNull())
        return false;
    QImage blank(canvas.width(), 1, format);
    clearCanvas(blank);
    PngRows png(device, {canvas.width(), static_cast<int>(height)}, options.dpi, format);
    qint64 row = 0;
    const auto blankUntil = [&](qint64 end) {
        for (; row < end; ++row)
            if (!png.writeRow(blank.constScanLine(0)))
                return false;
        return true;
    };
    for (const SheetBand &band : sheetBands(source)) {
        if (!blankUntil(band.y))
            return false;
        QImage rows = rowsOf(buffer, 0, band.rows);
        drawBandInParallel(source, rows, band.canvas, band.top);
        if (!png.writeRows(rows))
            return false;
        row += band.rows;
    }
    return blankUntil(height) && png.finish();
}

bool paintSheetPage(QPainter &painter, const CanvasSource &source, const QRectF &target,
                    bool transparent)
{
    const qint64 height = sheetHeight(source);
    const int width = source.canvasSize().width();
    if (width < 1 || height < 1 || height > std::numeric_limits<int>::max())
        return false;
    painter.save();
    // Sheet pixels from here on: one transform places every band.
    painter.translate(target.topLeft());
    painter.scale(target.width() / width, target.height() / double(height));
    // The images go in as their own pixels, compressed without loss and never smoothed.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!transparent)
        painter.fillRect(QRectF(0, 0, width, double(height)), Qt::white);
    const QImage::Format format =
        transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    bool ok = true;
    for (const SheetBand &band : sheetBands(source)) {
        // A fresh image for each band: a print preview keeps the images it is given. One with
        // alpha owns its memory, so that it turns into the straight alpha the PDF engine takes
        // in place rather than as a second copy.
        QImage image = transparent ? QImage(width, band.rows, format)
                                   : canvasBuffer({width, band.rows}, format);
        if (image.isNull()) {
            ok = false;
            break;
        }
        drawBandInParallel(source, image, band.canvas, band.top);
        if (transparent)
            image.convertTo(QImage::Format_ARGB32);
        painter.drawImage(QPointF(0, double(band.y)), image);
    }
    painter.restore();
    return ok;
}

} // namespace vexilo
