#pragma once

#include "compose/sheet/SheetLayout.h"
#include "holidays/clsPrazdniki.h"

#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

namespace vexilo {

// Which glyph of the set a place shows; new kinds of glyph (month titles) are new roles.
enum class GlyphRole : std::uint8_t { Digit, Weekday };

// The tint a glyph is drawn in, each computed once per set: its own colours or the holiday
// red. Further tints (pale, grey) are further variants.
enum class GlyphVariant : std::uint8_t { Plain, Holiday };

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
    bool red() const { return variant == GlyphVariant::Holiday; }
    friend bool operator==(const GlyphPlace &, const GlyphPlace &) = default;
};

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

// A coordinate of layout units at `scale` output pixels per unit, rounded once.
qint64 scaledUnit(double value, double scale);
// The plan at `scale`: every place, size and pitch scaled and rounded once, so that each
// glyph stands where the layout puts it whatever the resolution.
SheetPlan scaledPlan(const SheetPlan &plan, double scale);

} // namespace vexilo
