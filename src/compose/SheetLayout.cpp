#include "SheetLayout.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
    const auto r = roundSpacings(spacings);
    if (!r)
        return SheetError::TooLarge;
    const double perRow =
        kMonthsPerRow[static_cast<std::size_t>(std::clamp(monthsPerRowIndex, 0, 3))];
    const double rows = 12 / perRow;
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
    case SheetError::TooLarge:
        return QStringLiteral("Календарь получается слишком большим. Уменьшите расстояния.");
    case SheetError::Empty:
        return QStringLiteral("Календарь с такими расстояниями нарисовать нельзя.");
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

void copyGlyph(QImage &canvas, const QImage &glyph, qint64 x, qint64 y)
{
    if (glyph.isNull() || canvas.isNull())
        return;
    if (glyph.format() != QImage::Format_RGB32) {
        copyGlyph(canvas, glyph.convertToFormat(QImage::Format_RGB32), x, y);
        return;
    }
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 right = std::min<qint64>(x + glyph.width(), canvas.width());
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 bottom = std::min<qint64>(y + glyph.height(), canvas.height());
    if (left >= right || top >= bottom)
        return;
    // Row pointers are taken once: this runs for every digit of a sheet.
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(QRgb);
    const qsizetype fromStride = glyph.bytesPerLine();
    const qsizetype toStride = canvas.bytesPerLine();
    const uchar *from =
        glyph.constBits() + (top - y) * fromStride + (left - x) * qint64(sizeof(QRgb));
    uchar *to = canvas.bits() + top * toStride + left * qint64(sizeof(QRgb));
    for (qint64 row = top; row < bottom; ++row, from += fromStride, to += toStride)
        std::memcpy(to, from, bytes);
}

namespace {

void drawBitmap(QImage &canvas, const std::vector<clsPixel> &bitmaps, std::size_t index, qint64 x,
                qint64 y)
{
    if (index >= bitmaps.size())
        return;
    // Positions beyond the 32-bit range are off any canvas anyway.
    if (x > std::numeric_limits<qint32>::max() || y > std::numeric_limits<qint32>::max() ||
        x < std::numeric_limits<qint32>::min() || y < std::numeric_limits<qint32>::min())
        return;
    RisovatPixel(canvas, bitmaps[index], static_cast<qint32>(x), static_cast<qint32>(y));
}

class SheetPainter
{
public:
    SheetPainter(QImage &canvas, const SheetGeometry &g, const SheetContext &c)
        : m_canvas(canvas), m_g(g), m_c(c), m_sizeCheck(c.glyphs.ProverkaRazmerov != 0)
    {}

    void weekdayImages(qint64 x)
    {
        for (std::size_t r = 0; r < 5; ++r)
            copyGlyph(m_canvas, m_c.glyphs.picDniNedeli[m_sizeCheck ? 0 : r], x,
                      qint64(r) * m_g.rowPitch);
    }

    void weekendBitmaps(qint64 x)
    {
        for (std::size_t c = 0; c < 2; ++c)
            drawBitmap(m_canvas, m_c.glyphs.DniNedeli, c, x, qint64(5 + c) * m_g.rowPitch);
    }

    // The days of month M from x0; later week columns are columnStep + extraStep apart.
    void month(qint32 M, qint64 x0, qint64 extraStep)
    {
        const auto m = static_cast<std::size_t>(M);
        qint64 x = x0;
        qint32 row = m_c.firstWeekday[m];
        const qint32 last = std::clamp(m_c.DniMesyaca[m], 0, 31);
        for (qint32 n = 1; n <= last; ++n) {
            const bool holiday = m_c.holidays.mark(M, n) != 0;
            number(m_c.Chisla[static_cast<std::size_t>(n)], x, qint64(row) * m_g.rowPitch, holiday);
            if (++row > 6) {
                row = 0;
                x += m_g.columnStep + extraStep;
            }
        }
    }

private:
    void number(qint32 value, qint64 x, qint64 y, bool holiday)
    {
        const qint64 unitsX = x + m_g.digitWidth + m_g.digitsX;
        if (value >= 10)
            digit(static_cast<std::size_t>((value / 10) % 10), x, y, holiday);
        digit(static_cast<std::size_t>(((value % 10) + 10) % 10), unitsX, y, holiday);
    }

    void digit(std::size_t d, qint64 x, qint64 y, bool holiday)
    {
        if (m_sizeCheck)
            d = 0;
        if (holiday)
            drawBitmap(m_canvas, m_c.glyphs.Tsifry, d, x, y);
        else
            copyGlyph(m_canvas, m_c.glyphs.picChisla[d], x, y);
    }

    QImage &m_canvas;
    const SheetGeometry &m_g;
    const SheetContext &m_c;
    bool m_sizeCheck;
};

} // namespace

void drawYearCanvas(QImage &canvas, qint32 k, const SheetGeometry &geometry,
                    const SheetContext &context)
{
    SheetPainter painter(canvas, geometry, context);
    painter.weekdayImages(0);
    painter.weekdayImages(geometry.rightColumn);
    // The weekend names go to both columns pixel by pixel, left then right before the next
    // pixel; where the two overlap (a right column closer than a name's width) the later
    // write of each pixel wins, which two whole passes reproduce in this order.
    if (geometry.rightColumn > 0) {
        painter.weekendBitmaps(geometry.rightColumn);
        painter.weekendBitmaps(0);
    } else {
        painter.weekendBitmaps(0);
        painter.weekendBitmaps(geometry.rightColumn);
    }
    for (qint32 l = 0; l < geometry.monthsPerRow; ++l) {
        const qint32 M = k * geometry.monthsPerRow + l + 1;
        if (M < 1 || M > 12)
            continue;
        painter.month(M, geometry.leftOffset + qint64(l) * geometry.monthWidth,
                      l >= 1 ? geometry.digitsX : 0);
    }
}

void drawMonthCanvas(QImage &canvas, qint32 M, const SheetGeometry &geometry,
                     const SheetContext &context)
{
    if (M < 1 || M > 12)
        return;
    SheetPainter painter(canvas, geometry, context);
    painter.weekdayImages(0);
    painter.weekendBitmaps(0);
    painter.month(M, geometry.leftOffset, 0);
}

} // namespace vexilo
