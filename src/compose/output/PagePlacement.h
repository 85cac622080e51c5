#pragma once

#include "compose/output/SheetOutput.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

namespace vexilo {

// Where a sheet lies on its page, in points (1/72 inch) from the page's top left corner.
struct SheetPlacement
{
    QRectF sheet;
    // Smaller than its physical size for the dpi, to fit between the margins.
    bool shrunk = false;
};

// The orientation chosen or, when automatic, landscape for a sheet wider than tall.
QPageLayout::Orientation pageOrientation(QSize pixels, PageOrientation choice);

// Where a sheet of `pixels` goes on a page of `page` points: at its physical size for `dpi`,
// shrunk (never enlarged) to fit inside `margins` (points), aspect kept, centred between them.
// Nothing when the margins leave no room. PDF pages, printing and the print preview all place
// the sheet here.
std::optional<SheetPlacement> placeSheet(QSize pixels, int dpi, QSizeF page,
                                         const QMarginsF &margins);

// The page the options give a sheet (paper, turned for it, no margins of the layout's own: the
// painter has the whole page) and where on it the sheet goes.
struct SheetPage
{
    QPageLayout layout;
    SheetPlacement placement;
};
std::optional<SheetPage> sheetPage(QSize pixels, const OutputOptions &options);

// The same margin on every side, in points.
QMarginsF marginPoints(int marginMm);

// Whether margins of `marginMm` leave room on the paper, which they do in both orientations
// or in neither.
bool marginsLeaveRoom(int marginMm, QPageSize::PageSizeId paper);
// "поля 75 мм не оставляют места на бумаге A5 (148 × 210 мм)"
QString noRoomReason(int marginMm, QPageSize::PageSizeId paper);

// What the page dialog says of the sheet's size on paper, in centimetres: its physical size
// for the dpi ("При печати: 27,4 × 19,3 см") and, for a PDF page, whether it is shrunk to fit
// and to what, or that the margins leave no room.
QString printedSizeText(QSize pixels, const OutputOptions &options);

// A rectangle in points in the units of a device of `deviceDpi` dots per inch.
QRectF pointsToDevice(const QRectF &points, double deviceDpi);

} // namespace vexilo
