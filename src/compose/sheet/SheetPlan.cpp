#include "SheetPlan.h"

#include <algorithm>
#include <cmath>

namespace vexilo {

namespace {

// Lays out the glyphs of one canvas in the order the described procedures draw them.
class CanvasPlanner
{
public:
    CanvasPlanner(const SheetGeometry &g, const PlanDays &days, std::vector<GlyphPlace> &places)
        : m_g(g), m_days(days), m_places(places)
    {}

    // Пн .. Пт down the column at x.
    void weekdayNames(qint64 x)
    {
        for (std::uint8_t r = 0; r < 5; ++r)
            add(GlyphRole::Weekday, m_days.sizeCheck ? 0 : r, GlyphVariant::Plain, x,
                qint64(r) * m_g.rowPitch);
    }

    // Сб and Вс, red, below them.
    void weekendNames(qint64 x)
    {
        for (std::uint8_t c = 0; c < 2; ++c)
            add(GlyphRole::Weekday, static_cast<std::uint8_t>(5 + c), GlyphVariant::Holiday, x,
                qint64(5 + c) * m_g.rowPitch);
    }

    // The days of month M from x0; later week columns are columnStep + extraStep apart.
    void month(qint32 M, qint64 x0, qint64 extraStep)
    {
        const auto m = static_cast<std::size_t>(M);
        qint64 x = x0;
        qint32 row = m_days.firstWeekday[m];
        const qint32 last = std::clamp(m_days.DniMesyaca[m], 0, 31);
        for (qint32 n = 1; n <= last; ++n) {
            const GlyphVariant variant =
                m_days.holidays.mark(M, n) != 0 ? GlyphVariant::Holiday : GlyphVariant::Plain;
            number(m_days.Chisla[static_cast<std::size_t>(n)], x, qint64(row) * m_g.rowPitch,
                   variant);
            if (++row > 6) {
                row = 0;
                x += m_g.columnStep + extraStep;
            }
        }
    }

private:
    void number(qint32 value, qint64 x, qint64 y, GlyphVariant variant)
    {
        const qint64 unitsX = x + m_g.digitWidth + m_g.digitsX;
        if (value >= 10)
            digit((value / 10) % 10, x, y, variant);
        digit(((value % 10) + 10) % 10, unitsX, y, variant);
    }

    void digit(qint32 d, qint64 x, qint64 y, GlyphVariant variant)
    {
        add(GlyphRole::Digit, m_days.sizeCheck ? 0 : static_cast<std::uint8_t>(d), variant, x, y);
    }

    void add(GlyphRole role, std::uint8_t index, GlyphVariant variant, qint64 x, qint64 y)
    {
        m_places.push_back({role, index, variant, x, y});
    }

    const SheetGeometry &m_g;
    const PlanDays &m_days;
    std::vector<GlyphPlace> &m_places;
};

SheetPlan onePage(const SheetGeometry &g)
{
    SheetPlan plan;
    PagePlan &page = plan.pages.emplace_back();
    page.pitch = g.ShagRisunkov;
    page.canvases.resize(static_cast<std::size_t>(g.KolRisunkov) + 1,
                         CanvasPlan{{g.canvasWidth, g.canvasHeight}, {}});
    return plan;
}

} // namespace

SheetPlan yearPlan(const SheetGeometry &g, const PlanDays &days)
{
    SheetPlan plan = onePage(g);
    std::vector<CanvasPlan> &canvases = plan.pages.front().canvases;
    for (qint32 k = 0; k < qint32(canvases.size()); ++k) {
        CanvasPlanner planner(g, days, canvases[static_cast<std::size_t>(k)].places);
        planner.weekdayNames(0);
        planner.weekdayNames(g.rightColumn);
        // The weekend names go to both columns pixel by pixel, left then right before the
        // next pixel; where the two overlap (a right column closer than a name's width) the
        // later write of each pixel wins, which two whole passes reproduce in this order.
        if (g.rightColumn > 0) {
            planner.weekendNames(g.rightColumn);
            planner.weekendNames(0);
        } else {
            planner.weekendNames(0);
            planner.weekendNames(g.rightColumn);
        }
        for (qint32 l = 0; l < g.monthsPerRow; ++l) {
            const qint32 M = k * g.monthsPerRow + l + 1;
            if (M < 1 || M > 12)
                continue;
            planner.month(M, g.leftOffset + qint64(l) * g.monthWidth, l >= 1 ? g.digitsX : 0);
        }
    }
    return plan;
}

SheetPlan monthPlan(qint32 M, const SheetGeometry &g, const PlanDays &days)
{
    SheetPlan plan = onePage(g);
    if (M < 1 || M > 12)
        return plan;
    CanvasPlanner planner(g, days, plan.pages.front().canvases.front().places);
    planner.weekdayNames(0);
    planner.weekendNames(0);
    planner.month(M, g.leftOffset, 0);
    return plan;
}

qint64 scaledUnit(double value, double scale)
{
    return static_cast<qint64>(std::floor(value * scale + 0.5));
}

SheetPlan scaledPlan(const SheetPlan &plan, double scale)
{
    if (scale == 1.0)
        return plan;
    SheetPlan scaled = plan;
    const auto side = [scale](int units) { return static_cast<int>(scaledUnit(units, scale)); };
    for (PagePlan &page : scaled.pages) {
        page.pitch = static_cast<qint32>(scaledUnit(page.pitch, scale));
        for (CanvasPlan &canvas : page.canvases) {
            canvas.size = {side(canvas.size.width()), side(canvas.size.height())};
            for (GlyphPlace &place : canvas.places) {
                place.x = scaledUnit(double(place.x), scale);
                place.y = scaledUnit(double(place.y), scale);
            }
        }
    }
    return scaled;
}

} // namespace vexilo
