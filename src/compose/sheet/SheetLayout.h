#pragma once

#include "compose/glyphs/GlyphInk.h"
#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QString>

#include <array>
#include <variant>
#include <vector>

namespace vexilo {

// The five spacings as the numbers their texts denote, unrounded.
struct Spacings
{
    double datesX = 10;
    double datesY = 5;
    double monthsX = 20;
    double monthsY = 20;
    double digitsX = 3;
};

struct SheetGeometry
{
    qint32 digitWidth = 0;
    qint32 rowPitch = 0;
    qint32 leftOffset = 0; // where the first month block starts
    qint32 columnStep = 0; // between week columns of a canvas's first month
    qint32 digitsX = 0;    // gap between the two digits, also added between later columns
    qint32 datesX = 0;
    qint32 monthWidth = 0;
    qint32 canvasWidth = 0;
    qint32 canvasHeight = 0;
    qint32 rightColumn = 0; // x of the right weekday column (year sheets)
    qint32 monthsPerRow = 1;
    qint32 KolRisunkov = 0;  // highest canvas index
    qint32 ShagRisunkov = 0; // canvas pitch (year sheets)
    qint32 totalHeight = 0;
};

enum class SheetError {
    Year,     // a year outside kFirstYear..kLastYear
    TooLarge, // positions or canvases beyond what the program can hold
    Empty,    // spacings that leave a canvas no width or height
    Period,   // a period or pages that cannot be drawn
};

// Canvas limits: a side beyond 32767 pixels is more than image viewers and printers take,
// and all canvases together stay within 1 GiB of memory.
constexpr qint64 kMaxCanvasSide = 32767;
constexpr qint64 kMaxCanvasBytes = qint64(1) << 30;

// monthsPerRowIndex: 0..3 for 2, 3, 4 or 6 months in a row.
std::variant<SheetGeometry, SheetError>
yearGeometry(QSize digitSize, qint32 weekdayWidth, const Spacings &spacings, int monthsPerRowIndex);
// Rows of `perRow` months (1, 2, 3, 4 or 6) laid out as the year sheet's rows, `rows` of them.
std::variant<SheetGeometry, SheetError> rowsGeometry(QSize digitSize, qint32 weekdayWidth,
                                                     const Spacings &spacings, qint32 perRow,
                                                     qint32 rows);
std::variant<SheetGeometry, SheetError> monthGeometry(QSize digitSize, qint32 weekdayWidth,
                                                      const Spacings &spacings);

// The message for a refused geometry, in the style of the program's other messages.
QString sheetErrorMessage(SheetError error);

// " - Размер: 655x600": the width figure is one more than the canvas width.
QString sizeCaption(const SheetGeometry &geometry);

// Weekday (0 = Monday) of the first day of every month 1..12 of a year.
std::array<qint32, 13> firstWeekdays(qint32 year, const std::array<qint32, 13> &DniMesyaca);

} // namespace vexilo
