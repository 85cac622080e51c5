#pragma once

#include "compose/sheet/CalendarView.h"
#include "compose/sheet/SheetLayout.h"
#include "compose/tints/GlyphTint.h"
#include "holidays/clsPrazdniki.h"

#include <QSize>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace vexilo {

// Which glyph of the set a place shows: a digit 0..9, a weekday 0..6 from Monday, or a month
// title 0..11 from January.
enum class GlyphRole : std::uint8_t { Digit, Weekday, MonthTitle };

// The tint a glyph is drawn in. Titles are always Plain.
using GlyphVariant = GlyphTint;

// One glyph at its place on a canvas, in layout units: CSS pixels of a vector set, pixels of a
// raster set. Weekend names in red are weekdays 5 and 6 even in size-check mode, where their
// picture comes from Monday.
struct GlyphPlace
{
    GlyphRole role = GlyphRole::Digit;
    std::uint8_t index = 0; // digit 0..9, or weekday 0..6 from Monday
    GlyphVariant variant = GlyphVariant::Plain;
    qint64 x = 0;
    qint64 y = 0;

    bool weekday() const { return role == GlyphRole::Weekday; }
    bool title() const { return role == GlyphRole::MonthTitle; }
    bool red() const { return variant == GlyphVariant::Holiday; }
    friend bool operator==(const GlyphPlace &, const GlyphPlace &) = default;
};

// A day's number as the sheets draw it: the tens digit at x, the units digit a digit and
// «Числа X» (`unitsOffset`) to its right; a number below 10 has the units digit only. Every
// digit is "0" in size-check mode.
void placeNumber(std::vector<GlyphPlace> &places, qint32 value, qint64 x, qint64 y, GlyphTint tint,
                 qint64 unitsOffset, bool sizeCheck);

// One canvas (`picRisunok(k)`, one BMP row file): its size and its glyphs in drawing order,
// later ones over earlier ones where they overlap.
struct CanvasPlan
{
    QSize size;
    std::vector<GlyphPlace> places;
};

// One page: its canvases, `pitch` apart from top to top (negative stacks them upwards).
struct PagePlan
{
    std::vector<CanvasPlan> canvases;
    qint32 pitch = 0;
};

// What a sheet is: its pages and every glyph place on them. Painters draw it and compute no
// position; layouts are the functions that produce it.
struct SheetPlan
{
    std::vector<PagePlan> pages;
};

// What the described sheets need beside their geometry: the days and their marks.
struct PlanDays
{
    const clsPrazdniki &holidays;             // the year's marks
    const std::array<qint32, 32> &Chisla;     // number drawn for each day
    const std::array<qint32, 13> &DniMesyaca; // with February set for the year
    const std::array<qint32, 13> &firstWeekday;
    bool sizeCheck = false; // every digit "0", every weekday "Пн"
};

// The year sheet (RisovatGod): one canvas per row of months.
SheetPlan yearPlan(const SheetGeometry &geometry, const PlanDays &days);
// The month sheet (RisovatMesyac) of month M (1..12): one canvas.
SheetPlan monthPlan(qint32 M, const SheetGeometry &geometry, const PlanDays &days);

// The marks of every year a period shows; a year that is not here has no holidays.
using YearHolidays = std::map<qint32, clsPrazdniki>;

// How a period goes onto pages.
struct PeriodPages
{
    Period period;
    qint32 perPage = 12; // months on a page, at least 1
    qint32 perRow = 4;   // months in a row of a page of several months
    bool quarterly = false;
};

// What a period needs beside its geometry.
struct PeriodDays
{
    const YearHolidays &holidays;
    const std::array<qint32, 32> &Chisla;
    bool sizeCheck = false;
};

// Whether the period's pages are month sheets (one month a page, or the quarterly calendar's
// three months in a column) rather than rows of months.
bool monthSheetPages(const PeriodPages &pages);
// How many rows of months the fullest page has.
qint32 rowsPerPage(const PeriodPages &pages);
// The months a period's pages show, in page order: the quarterly calendar's neighbours too.
std::vector<YearMonth> shownMonths(const PeriodPages &pages);
// The years whose marks the pages show, in order.
std::vector<qint32> periodYears(const PeriodPages &pages);

// A period in the described layout: pages of rows of months, each row a canvas laid out as a
// row of the year sheet (`geometry` from rowsGeometry), or pages of month sheets (`geometry`
// from monthGeometry, with ShagRisunkov the pitch of a quarterly page's month sheets). The
// quarterly calendar's outer months are Pale.
SheetPlan periodPlan(const SheetGeometry &geometry, const PeriodPages &pages,
                     const PeriodDays &days);

// A coordinate of layout units at `scale` output pixels per unit, rounded once.
qint64 scaledUnit(double value, double scale);
// The plan at `scale`: every place, size and pitch scaled and rounded once, so that each
// glyph stands where the layout puts it whatever the resolution.
SheetPlan scaledPlan(const SheetPlan &plan, double scale);

} // namespace vexilo
