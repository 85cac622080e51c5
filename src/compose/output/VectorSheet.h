#pragma once

#include "compose/output/SheetOutput.h"

#include <QIODevice>
#include <QRectF>
#include <QSize>

#include <vector>

namespace vexilo {

// The sheet as one SVG document of its size in pixels. A vector set's glyphs go in as their
// drawings, a raster set's as images of their pixels; each glyph in each tint once, placed
// where it is used. False when the source has no glyphs to place or cairo fails. What a drawing's
// filters make into pixels has at least `dpi` of them per inch (and at least 300).
bool writeSvgSheet(const CanvasSource &source, bool transparent, QIODevice &device, int dpi = 0);

// The sheet of a vector set as a one-page vector PDF: the page of `pageSize` points with the
// sheet in `target` (points from the page's top left). No raster image: each glyph's
// drawing is written once and reused.
bool writeVectorPdf(const CanvasSource &source, bool transparent, QSizeF pageSize,
                    const QRectF &target, QIODevice &device, int dpi = 0);

// One page of a vector PDF: its sheet, its size in points and where the sheet goes on it.
struct VectorPdfPage
{
    const CanvasSource *source;
    QSizeF pageSize;
    QRectF target;
};
// Sheets of one vector set as the pages of one vector PDF, in order. Each glyph's drawing is
// written once for the whole document, and each page drawn and written before the next.
bool writeVectorPdf(const std::vector<VectorPdfPage> &pages, bool transparent, QIODevice &device,
                    int dpi = 0);

} // namespace vexilo
