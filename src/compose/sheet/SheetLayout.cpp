#include "SheetLayout.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"
#include "compose/sheet/CalendarView.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexilo {

namespace {

constexpr std::array<qint32, 4> kMonthsPerRow = {2, 3, 4, 6};

bool fitsInt32(double value)
{
    return std::isfinite(value) && value >= std::numeric_limits<qint32>::min() &&
           value <= std::numeric_limits<qint32>::max();
}

// Shared by both sheets: the spacings rounded where the layout rounds them.
struct RoundedSpacings
{
    double datesX, monthsX, monthsY, digitsX;
};

std::optional<RoundedSpacings> roundSpacings(const Spacings &s)
{
    RoundedSpacings r{roundHalfEven(s.datesX), roundHalfEven(s.monthsX), roundHalfEven(s.monthsY),
                      roundHalfEven(s.digitsX)};
    if (!fitsInt32(r.datesX) || !fitsInt32(r.monthsX) || !fitsInt32(r.monthsY) ||
        !fitsInt32(r.digitsX) || !fitsInt32(s.datesY))
        return std::nullopt;
    return r;
}

// The geometry as computed, in double: exact at these magnitudes, so a value past the
// 32-bit range shows as such instead of wrapping.
struct Unchecked
{
    double digitWidth, rowPitch, leftOffset, columnStep, digitsX, datesX, monthWidth;
    double canvasWidth, canvasHeight, rightColumn, monthsPerRow, shag, totalHeight;
    double canvases;
};

std::variant<SheetGeometry, SheetError> checked(const Unchecked &u)
{
    SheetGeometry g;
    bool fits = true;
    const auto take = [&fits](double value, qint32 &field) {
        fits = fits && fitsInt32(value);
        field = fits ? static_cast<qint32>(value) : 0;
    };
    take(u.digitWidth, g.digitWidth);
    take(u.rowPitch, g.rowPitch);
    take(u.leftOffset, g.leftOffset);
    take(u.columnStep, g.columnStep);
    take(u.digitsX, g.digitsX);
    take(u.datesX, g.datesX);
    take(u.monthWidth, g.monthWidth);
    take(u.canvasWidth, g.canvasWidth);
    take(u.canvasHeight, g.canvasHeight);
    take(u.rightColumn, g.rightColumn);
    take(u.monthsPerRow, g.monthsPerRow);
    take(u.shag, g.ShagRisunkov);
    take(u.totalHeight, g.totalHeight);
    take(u.canvases - 1, g.KolRisunkov);
    if (!fits)
        return SheetError::TooLarge;
    if (g.canvasWidth < 1 || g.canvasHeight < 1)
        return SheetError::Empty;
    if (g.canvasWidth > kMaxCanvasSide || g.canvasHeight > kMaxCanvasSide ||
        u.canvases * g.canvasWidth * g.canvasHeight * 4.0 > static_cast<double>(kMaxCanvasBytes))
        return SheetError::TooLarge;
    return g;
}

} // namespace

std::variant<SheetGeometry, SheetError>
yearGeometry(QSize digitSize, qint32 weekdayWidth, const Spacings &spacings, int monthsPerRowIndex)
{
    const qint32 perRow =
        kMonthsPerRow[static_cast<std::size_t>(std::clamp(monthsPerRowIndex, 0, 3))];
    return rowsGeometry(digitSize, weekdayWidth, spacings, perRow, 12 / perRow);
}

std::variant<SheetGeometry, SheetError> rowsGeometry(QSize digitSize, qint32 weekdayWidth,
                                                     const Spacings &spacings, qint32 monthsPerRow,
                                                     qint32 rowCount)
{
    const auto r = roundSpacings(spacings);
    if (!r)
        return SheetError::TooLarge;
    const double perRow = std::max(monthsPerRow, 1);
    const double rows = std::max(rowCount, 1);
    const double digitWidth = digitSize.width();
    const double rowPitch = roundHalfEven(digitSize.height() + spacings.datesY);
    const double leftOffset = roundHalfEven(weekdayWidth + r->monthsX);
    const double columnStep = 2 * digitWidth + r->datesX;
    const double monthWidth = 6 * (columnStep + r->digitsX) - r->datesX;
    const double canvasHeight = roundHalfEven(7 * rowPitch - spacings.datesY);
    const double shag = r->monthsY + canvasHeight;
    const double rightColumn = perRow * monthWidth + 2 * leftOffset - r->datesX;
    const double canvasWidth = roundHalfEven(weekdayWidth + rightColumn);
    const double totalHeight = roundHalfEven(canvasHeight + shag * (rows - 1));
    return checked({digitWidth, rowPitch, leftOffset, columnStep, r->digitsX, r->datesX, monthWidth,
                    canvasWidth, canvasHeight, rightColumn, perRow, shag, totalHeight, rows});
}

std::variant<SheetGeometry, SheetError> monthGeometry(QSize digitSize, qint32 weekdayWidth,
                                                      const Spacings &spacings)
{
    const auto r = roundSpacings(spacings);
    if (!r)
        return SheetError::TooLarge;
    const double digitWidth = digitSize.width();
    const double rowPitch = roundHalfEven(digitSize.height() + spacings.datesY);
    // Rounded once, after the addition (the year sheet rounds "Месяцы X" first).
    const double leftOffset = roundHalfEven(weekdayWidth + spacings.monthsX);
    const double columnStep = 2 * digitWidth + r->datesX;
    const double monthWidth = 6 * (columnStep + r->digitsX) - r->datesX;
    const double canvasWidth = leftOffset + monthWidth;
    const double canvasHeight = roundHalfEven(7 * rowPitch - spacings.datesY);
    return checked({digitWidth, rowPitch, leftOffset, columnStep, r->digitsX, r->datesX, monthWidth,
                    canvasWidth, canvasHeight, 0, 1, 0, canvasHeight, 1});
}

QString sheetErrorMessage(SheetError error)
{
    switch (error) {
    case SheetError::Year:
        return yearRefusedMessage();
    case SheetError::TooLarge:
        return QStringLiteral("Календарь получается слишком большим. Уменьшите расстояния.");
    case SheetError::Empty:
        return QStringLiteral("Календарь с такими расстояниями нарисовать нельзя.");
    case SheetError::Period:
        return QStringLiteral("Такой период нарисовать нельзя: месяцы с %1 по %2 год, "
                              "от 1 до %3 месяцев, по 1–%3 на странице, по 1, 2, 3, 4 или 6 "
                              "в ряду.")
            .arg(kFirstYear)
            .arg(kLastYear)
            .arg(kMaxPeriodMonths);
    }
    return {};
}

QString sizeCaption(const SheetGeometry &geometry)
{
    return QStringLiteral(" - Размер: %1x%2")
        .arg(qint64(geometry.canvasWidth) + 1)
        .arg(geometry.totalHeight);
}

std::array<qint32, 13> firstWeekdays(qint32 year, const std::array<qint32, 13> &DniMesyaca)
{
    std::array<qint32, 13> first{};
    first[1] = weekdayOfJanuary1(year);
    for (std::size_t m = 2; m <= 12; ++m) {
        qint32 w = first[m - 1] + DniMesyaca[m - 1] - 28;
        if (w > 6)
            w -= 7;
        first[m] = ((w % 7) + 7) % 7; // a month table out of 28..31 must not leave 0..6
    }
    return first;
}

} // namespace vexilo
