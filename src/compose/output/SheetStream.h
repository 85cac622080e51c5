#pragma once

#include "compose/output/SheetOutput.h"

#include <QImage>
#include <QRectF>

#include <vector>

class QIODevice;
class QPainter;

namespace vexilo {

// The rows of canvas `canvas` that show in the whole sheet, from canvas row `top` on, at sheet
// row `y`: those that no later canvas covers, as wholeSheet composes them.
struct SheetBand
{
    qint32 canvas = 0;
    qint32 top = 0;
    qint32 rows = 0;
    qint64 y = 0;
};

// A band of an image's rows as an image of its own, sharing the pixels.
QImage rowsOf(QImage &image, int top, int height);

// The whole sheet's height: from the highest canvas's top to the lowest one's bottom.
qint64 sheetHeight(const CanvasSource &source);

// The visible bands of every canvas, top to bottom; rows in no band are white.
std::vector<SheetBand> sheetBands(const CanvasSource &source);

// The buffers a sheet is drawn into for these options: RGB32, or ARGB32_Premultiplied for a
// transparent background of a format that keeps one.
QImage::Format canvasFormat(const OutputOptions &options);

// The most rows a whole PNG may have: libpng, and the viewers built on it, refuse taller ones.
inline constexpr qint64 kMaxPngHeight = 1000000;

// The whole sheet as one PNG, written band by band with no more than one canvas in memory;
// the same pixels as wholeSheet, of any height, with alpha for a transparent background.
bool writeWholePng(const CanvasSource &source, const OutputOptions &options, QIODevice &device);

// Paints the sheet into `target` (device units, see placeSheet), each visible band of each
// canvas as its own image of exact pixels, one band in memory at a time; white under the
// sheet unless `transparent`. False when the memory for a band cannot be had.
bool paintSheetPage(QPainter &painter, const CanvasSource &source, const QRectF &target,
                    bool transparent = false);

} // namespace vexilo
