#include "SheetPlan.h"

#include "common/CalendarMath.h"

#include <algorithm>
#include <cmath>

namespace vexilo {

void placeNumber(std::vector<GlyphPlace> &places, qint32 value, qint64 x, qint64 y, GlyphTint tint,
                 qint64 unitsOffset, bool sizeCheck)
{
    const auto digit = [&](qint32 d, qint64 at) {
        places.push_back({GlyphRole::Digit,
                          sizeCheck ? std::uint8_t(0) : static_cast<std::uint8_t>(d), tint, at, y});
    };
    if (value >= 10)
        digit((value / 10) % 10, x);
    digit(((value % 10) + 10) % 10, x + unitsOffset);
}

namespace {

// One month as a canvas draws it: where its first day falls, its length and its marks.
struct PlanMonth
{
    qint32 month = 1;
    qint32 firstWeekday = 0; // 0 = Monday
    qint32 length = 31;
    const clsPrazdniki *marks = nullptr; // none: no holidays
    bool pale = false;
};

// Lays out the glyphs of one canvas in the order the described procedures draw them.
class CanvasPlanner
{
public:
    CanvasPlanner(const SheetGeometry &g, const std::array<qint32, 32> &Chisla, bool sizeCheck,
                  std::vector<GlyphPlace> &places)
        : m_g(g), m_Chisla(Chisla), m_sizeCheck(sizeCheck), m_places(places)
    {}

    // Пн .. Пт down the column at x.
    void weekdayNames(qint64 x, bool pale = false)
    {
        for (std::uint8_t r = 0; r < 5; ++r)
            add(GlyphRole::Weekday, m_sizeCheck ? 0 : r, tintOf(false, pale), x,
                qint64(r) * m_g.rowPitch);
    }

    // Сб and Вс, red, below them.
    void weekendNames(qint64 x, bool pale = false)
    {
        for (std::uint8_t c = 0; c < 2; ++c)
            add(GlyphRole::Weekday, static_cast<std::uint8_t>(5 + c), tintOf(true, pale), x,
                qint64(5 + c) * m_g.rowPitch);
    }

    // The days of a month from x0; later week columns are columnStep + extraStep apart.
    void month(const PlanMonth &m, qint64 x0, qint64 extraStep)
    {
        qint64 x = x0;
        qint32 row = m.firstWeekday;
        const qint32 last = std::clamp(m.length, 0, 31);
        for (qint32 n = 1; n <= last; ++n) {
            const bool holiday = m.marks != nullptr && m.marks->mark(m.month, n) != 0;
            number(m_Chisla[static_cast<std::size_t>(n)], x, qint64(row) * m_g.rowPitch,
                   tintOf(holiday, m.pale));
            if (++row > 6) {
                row = 0;
                x += m_g.columnStep + extraStep;
            }
        }
    }

private:
    void number(qint32 value, qint64 x, qint64 y, GlyphVariant variant)
    {
        placeNumber(m_places, value, x, y, variant, qint64(m_g.digitWidth) + m_g.digitsX,
                    m_sizeCheck);
    }

    void add(GlyphRole role, std::uint8_t index, GlyphVariant variant, qint64 x, qint64 y)
    {
        m_places.push_back({role, index, variant, x, y});
    }

    const SheetGeometry &m_g;
    const std::array<qint32, 32> &m_Chisla;
    bool m_sizeCheck;
    std::vector<GlyphPlace> &m_places;
};

PlanMonth yearMonth(const PlanDays &days, qint32 M)
{
    const auto m = static_cast<std::size_t>(M);
    return {M, days.firstWeekday[m], days.DniMesyaca[m], &days.holidays};
}

// One row of months as the year sheet draws its rows.
void monthRow(CanvasPlan &canvas, const SheetGeometry &g, const std::vector<PlanMonth> &months,
              const std::array<qint32, 32> &Chisla, bool sizeCheck)
{
    CanvasPlanner planner(g, Chisla, sizeCheck, canvas.places);
    planner.weekdayNames(0);
    planner.weekdayNames(g.rightColumn);
    // The weekend names go to both columns pixel by pixel, left then right before the next
    // pixel; where the two overlap (a right column closer than a name's width) the later write
    // of each pixel wins, which two whole passes reproduce in this order.
    if (g.rightColumn > 0) {
        planner.weekendNames(g.rightColumn);
        planner.weekendNames(0);
    } else {
        planner.weekendNames(0);
        planner.weekendNames(g.rightColumn);
    }
    for (std::size_t l = 0; l < months.size(); ++l)
        planner.month(months[l], g.leftOffset + qint64(l) * g.monthWidth, l >= 1 ? g.digitsX : 0);
}

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
        std::vector<PlanMonth> months;
        for (qint32 M = k * g.monthsPerRow + 1; M <= std::min(12, (k + 1) * g.monthsPerRow); ++M)
            months.push_back(yearMonth(days, M));
        monthRow(canvases[static_cast<std::size_t>(k)], g, months, days.Chisla, days.sizeCheck);
    }
    return plan;
}

SheetPlan monthPlan(qint32 M, const SheetGeometry &g, const PlanDays &days)
{
    SheetPlan plan = onePage(g);
    if (M < 1 || M > 12)
        return plan;
    CanvasPlanner planner(g, days.Chisla, days.sizeCheck,
                          plan.pages.front().canvases.front().places);
    planner.weekdayNames(0);
    planner.weekendNames(0);
    planner.month(yearMonth(days, M), g.leftOffset, 0);
    return plan;
}

bool monthSheetPages(const PeriodPages &pages)
{
    return pages.quarterly || pages.perPage == 1;
}

qint32 rowsPerPage(const PeriodPages &pages)
{
    if (pages.quarterly)
        return 3;
    const qint32 months = std::clamp(pages.perPage, 1, std::max(pages.period.months, 1));
    const qint32 perRow = std::max(pages.perRow, 1);
    return monthSheetPages(pages) ? 1 : (months + perRow - 1) / perRow;
}

std::vector<YearMonth> shownMonths(const PeriodPages &pages)
{
    std::vector<YearMonth> months;
    const qint32 from = pages.quarterly ? -1 : 0;
    const qint32 to = pages.period.months + (pages.quarterly ? 1 : 0);
    for (qint32 i = from; i < to; ++i)
        months.push_back(monthOfPeriod(pages.period, i));
    return months;
}

namespace {

PlanMonth periodMonth(const YearMonth &ym, const PeriodDays &days, bool pale)
{
    const std::array<qint32, 13> lengths = monthLengthsOf(ym.year);
    const auto found = days.holidays.find(ym.year);
    return {ym.month, weekdayOf(ym.year, ym.month, 1), lengths[static_cast<std::size_t>(ym.month)],
            found != days.holidays.end() ? &found->second : nullptr, pale};
}

// One month sheet: the weekday names at the left, the month right of them.
void monthSheet(CanvasPlan &canvas, const SheetGeometry &g, const PlanMonth &month,
                const PeriodDays &days)
{
    CanvasPlanner planner(g, days.Chisla, days.sizeCheck, canvas.places);
    planner.weekdayNames(0, month.pale);
    planner.weekendNames(0, month.pale);
    planner.month(month, g.leftOffset, 0);
}

} // namespace

std::vector<qint32> periodYears(const PeriodPages &pages)
{
    std::vector<qint32> years;
    for (const YearMonth &ym : shownMonths(pages))
        if (years.empty() || years.back() != ym.year)
            years.push_back(ym.year);
    return years;
}

SheetPlan periodPlan(const SheetGeometry &g, const PeriodPages &pages, const PeriodDays &days)
{
    SheetPlan plan;
    const std::vector<YearMonth> months = shownMonths(pages);
    const QSize canvasSize(g.canvasWidth, g.canvasHeight);
    if (pages.quarterly) {
        // Page p: months p - 1, p and p + 1 in a column, the outer two pale.
        const qint32 pitch = g.ShagRisunkov;
        for (std::size_t p = 1; p + 1 < months.size(); ++p) {
            PagePlan &page = plan.pages.emplace_back();
            page.pitch = pitch;
            for (std::size_t i = p - 1; i <= p + 1; ++i) {
                CanvasPlan &canvas = page.canvases.emplace_back(CanvasPlan{canvasSize, {}});
                monthSheet(canvas, g, periodMonth(months[i], days, i != p), days);
            }
        }
        return plan;
    }
    const qint32 perPage = std::max(pages.perPage, 1);
    const qint32 perRow = monthSheetPages(pages) ? 1 : std::max(pages.perRow, 1);
    for (std::size_t first = 0; first < months.size(); first += std::size_t(perPage)) {
        PagePlan &page = plan.pages.emplace_back();
        page.pitch = g.ShagRisunkov;
        const std::size_t end = std::min(months.size(), first + std::size_t(perPage));
        for (std::size_t row = first; row < end; row += std::size_t(perRow)) {
            CanvasPlan &canvas = page.canvases.emplace_back(CanvasPlan{canvasSize, {}});
            std::vector<PlanMonth> rowMonths;
            for (std::size_t i = row; i < std::min(end, row + std::size_t(perRow)); ++i)
                rowMonths.push_back(periodMonth(months[i], days, false));
            if (monthSheetPages(pages))
                monthSheet(canvas, g, rowMonths.front(), days);
            else
                monthRow(canvas, g, rowMonths, days.Chisla, days.sizeCheck);
        }
    }
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
