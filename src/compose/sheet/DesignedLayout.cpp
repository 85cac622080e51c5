#include "DesignedLayout.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace vexilo {

namespace {

// Spacings beyond this are refused before any size is computed from them.
constexpr double kMaxSpacing = 1e6;

struct Metrics
{
    qint64 digitW = 0, digitH = 0, nameW = 0, nameH = 0;
    qint64 digitsX = 0, datesX = 0, datesY = 0, monthsX = 0, monthsY = 0;
    qint64 numberW = 0;   // two digits and the gap between them
    qint64 colW = 0;      // a day's column
    qint64 rowPitch = 0;  // between day rows
    qint64 titleH = 0;    // the tallest title
    qint64 titleBand = 0; // the titles and their gap
    qint64 weekBand = 0;  // the row (rows) or column (across) of week numbers
    qint64 nameBand = 0;  // the names' row above each month (across)
    qint64 blockW = 0, blockH = 0;
    qint64 yearBand = 0; // the year title and its gap
    qint64 namesW = 0;   // a names column and its gap (rows)
};

qint64 rounded(double value)
{
    return static_cast<qint64>(roundHalfEven(value));
}

std::optional<Metrics> measure(const DesignGlyphs &glyphs, const Spacings &s,
                               const CalendarView &view)
{
    for (const double value : {s.datesX, s.datesY, s.monthsX, s.monthsY, s.digitsX, view.titleGap})
        if (!std::isfinite(value) || std::abs(value) > kMaxSpacing)
            return std::nullopt;
    Metrics m;
    m.digitW = glyphs.digit.width();
    m.digitH = glyphs.digit.height();
    m.nameW = glyphs.weekday.width();
    m.nameH = glyphs.weekday.height();
    m.digitsX = rounded(s.digitsX);
    m.datesX = rounded(s.datesX);
    m.datesY = rounded(s.datesY);
    m.monthsX = rounded(s.monthsX);
    m.monthsY = rounded(s.monthsY);
    m.numberW = 2 * m.digitW + m.digitsX;
    if (view.monthTitles != TitleAlign::None) {
        for (const QSize &title : glyphs.titles)
            m.titleH = std::max<qint64>(m.titleH, title.height());
        m.titleBand = m.titleH + rounded(view.titleGap);
    }
    if (view.weekdaysAcross) {
        m.colW = std::max(m.numberW, m.nameW);
        m.rowPitch = m.digitH + m.datesY;
        m.nameBand = m.nameH + m.datesY;
        m.weekBand = view.weekNumbers ? m.numberW + m.datesX : 0;
        m.blockW = m.weekBand + 7 * (m.colW + m.datesX) - m.datesX;
        m.blockH = m.titleBand + m.nameBand + 6 * m.rowPitch - m.datesY;
    } else {
        m.colW = m.numberW;
        m.rowPitch = std::max(m.digitH, m.nameH) + m.datesY;
        m.weekBand = view.weekNumbers ? m.rowPitch : 0;
        m.blockW = 6 * (m.colW + m.datesX) - m.datesX;
        m.blockH = m.titleBand + m.weekBand + 7 * m.rowPitch - m.datesY;
        m.namesW = m.nameW + m.monthsX;
    }
    m.yearBand = view.yearTitle ? m.digitH + m.monthsY : 0;
    return m;
}

// One month as the page shows it: its days, where it stands and how it is tinted.
struct MonthCell
{
    YearMonth ym;
    qint64 x = 0, y = 0; // the block's top left corner
    bool pale = false;
};

class PagePlanner
{
public:
    PagePlanner(const Metrics &m, const DesignGlyphs &glyphs, const CalendarView &view,
                const PeriodDays &days, std::vector<GlyphPlace> &places)
        : m_m(m), m_glyphs(glyphs), m_view(view), m_days(days), m_places(places)
    {}

    void yearTitle(const std::vector<qint32> &years, qint64 canvasWidth)
    {
        // Several years (a school year) stand one space of two digits apart.
        const qint64 space = m_m.numberW + 2 * m_m.digitsX;
        qint64 width = -space;
        for (const qint32 year : years)
            width += space + digitsWidth(year);
        qint64 x = (canvasWidth - width) / 2;
        for (const qint32 year : years) {
            const QString text = QString::number(year);
            for (const QChar c : text) {
                add(GlyphRole::Digit,
                    m_days.sizeCheck ? 0 : static_cast<std::uint8_t>(c.digitValue()),
                    GlyphTint::Plain, x, 0);
                x += m_m.digitW + m_m.digitsX;
            }
            x += space - m_m.digitsX;
        }
    }

    // The weekday names down a column (rows) at x, from the first day row at y.
    void nameColumn(qint64 x, qint64 y, bool pale)
    {
        for (qint32 slot = 0; slot < 7; ++slot)
            name(slot, x, y + slot * m_m.rowPitch, pale);
    }

    void month(const MonthCell &cell)
    {
        qint64 y = cell.y;
        if (m_view.monthTitles != TitleAlign::None)
            title(cell, y);
        y += m_m.titleBand;
        const qint64 x = cell.x;
        if (m_view.weekdaysAcross) {
            const qint64 left = x + m_m.weekBand;
            for (qint32 slot = 0; slot < 7; ++slot)
                name(slot, left + slot * (m_m.colW + m_m.datesX) + (m_m.colW - m_m.nameW) / 2, y,
                     cell.pale);
            y += m_m.nameBand;
        }
        const qint64 daysTop = y + (m_view.weekdaysAcross ? 0 : m_m.weekBand);
        const qint32 first = placeInWeek(weekdayOf(cell.ym.year, cell.ym.month, 1), start());
        const qint32 length = monthLengthsOf(cell.ym.year)[std::size_t(cell.ym.month)];
        const qint32 weeks = (first + length + 6) / 7;
        if (m_view.weekNumbers)
            for (qint32 w = 0; w < weeks; ++w)
                weekNumber(cell, w, first, x, y);
        const qint32 end = m_view.neighbourDays ? weeks * 7 : first + length;
        for (qint32 c = m_view.neighbourDays ? 0 : first; c < end; ++c)
            day(cell, c - first + 1, length, c, x, daysTop);
    }

private:
    WeekStart start() const { return m_view.weekStart; }

    qint64 digitsWidth(qint32 year) const
    {
        const qint64 n = QString::number(year).size();
        return n * m_m.digitW + (n - 1) * m_m.digitsX;
    }

    // Where cell c (week c / 7, slot c % 7) of a month starts.
    QPoint cellAt(qint32 c, qint64 x, qint64 y) const
    {
        const qint64 week = c / 7, slot = c % 7;
        const qint64 cx =
            m_view.weekdaysAcross
                ? x + m_m.weekBand + slot * (m_m.colW + m_m.datesX) + (m_m.colW - m_m.numberW) / 2
                : x + week * (m_m.colW + m_m.datesX);
        const qint64 cy = m_view.weekdaysAcross ? y + week * m_m.rowPitch : y + slot * m_m.rowPitch;
        return {int(cx), int(cy)};
    }

    void title(const MonthCell &cell, qint64 y)
    {
        const std::size_t index = std::size_t(cell.ym.month - 1);
        const QSize box = m_glyphs.titles[index];
        if (box.isEmpty())
            return;
        qint64 x = cell.x;
        if (m_view.monthTitles == TitleAlign::Centre)
            x += (m_m.blockW - box.width()) / 2;
        else if (m_view.monthTitles == TitleAlign::Right)
            x += m_m.blockW - box.width();
        // Titles of different heights share their foot.
        add(GlyphRole::MonthTitle, static_cast<std::uint8_t>(index), GlyphTint::Plain, x,
            y + m_m.titleH - box.height());
    }

    void name(qint32 slot, qint64 x, qint64 y, bool pale)
    {
        const qint32 weekday = start() == WeekStart::Sunday ? (slot + 6) % 7 : slot;
        const bool weekend = weekday >= 5;
        const auto index = static_cast<std::uint8_t>(m_days.sizeCheck && !weekend ? 0 : weekday);
        add(GlyphRole::Weekday, index, tintOf(weekend, pale), x, y);
    }

    // Day n of the month (before 1 or past its length: the neighbouring months' days).
    void day(const MonthCell &cell, qint32 n, qint32 length, qint32 c, qint64 x, qint64 y)
    {
        const bool neighbour = n < 1 || n > length;
        const YearMonth ym =
            monthOfPeriod({cell.ym.year, cell.ym.month, 1}, n < 1 ? -1 : (n > length ? 1 : 0));
        const qint32 shown = n < 1       ? monthLengthsOf(ym.year)[std::size_t(ym.month)] + n
                             : neighbour ? n - length
                                         : n;
        const auto found = m_days.holidays.find(ym.year);
        const bool holiday =
            found != m_days.holidays.end() && found->second.mark(ym.month, shown) != 0;
        const QPoint at = cellAt(c, x, y);
        number(m_days.Chisla[std::size_t(std::clamp(shown, 0, 31))], at.x(), at.y(),
               tintOf(holiday, cell.pale || neighbour));
    }

    void weekNumber(const MonthCell &cell, qint32 week, qint32 first, qint64 x, qint64 y)
    {
        // The week's Monday decides its ISO number, in either order of the days.
        const qint32 monday = week * 7 + placeInWeek(0, start()) - first + 1;
        const qint32 number = isoWeekOf(cell.ym.year, cell.ym.month, monday).week;
        if (m_view.weekdaysAcross)
            this->number(number, x, y + week * m_m.rowPitch, GlyphTint::Grey);
        else
            this->number(number, x + week * (m_m.colW + m_m.datesX), y, GlyphTint::Grey);
    }

    void number(qint32 value, qint64 x, qint64 y, GlyphTint tint)
    {
        placeNumber(m_places, value, x, y, tint, m_m.digitW + m_m.digitsX, m_days.sizeCheck);
    }

    void add(GlyphRole role, std::uint8_t index, GlyphTint tint, qint64 x, qint64 y)
    {
        m_places.push_back({role, index, tint, x, y});
    }

    const Metrics &m_m;
    const DesignGlyphs &m_glyphs;
    const CalendarView &m_view;
    const PeriodDays &m_days;
    std::vector<GlyphPlace> &m_places;
};

} // namespace

std::variant<SheetPlan, SheetError> designedPlan(const DesignGlyphs &glyphs,
                                                 const Spacings &spacings, const CalendarView &view,
                                                 const PeriodPages &pages, const PeriodDays &days)
{
    const std::optional<Metrics> measured = measure(glyphs, spacings, view);
    if (!measured)
        return SheetError::TooLarge;
    const Metrics &m = *measured;
    const std::vector<YearMonth> months = shownMonths(pages);
    const bool sheets = monthSheetPages(pages);
    const qint64 perRow = sheets ? 1 : std::max(pages.perRow, 1);
    const bool rightNames = !view.weekdaysAcross && !sheets;
    // Which months each page shows; a quarterly page's outer two are pale.
    struct PageMonths
    {
        std::vector<YearMonth> months;
        std::size_t middle = 0; // the quarterly page's own month
    };
    std::vector<PageMonths> pageMonths;
    if (pages.quarterly) {
        for (std::size_t p = 1; p + 1 < months.size(); ++p)
            pageMonths.push_back({{months[p - 1], months[p], months[p + 1]}, 1});
    } else {
        const std::size_t perPage = std::size_t(std::max(pages.perPage, 1));
        for (std::size_t first = 0; first < months.size(); first += perPage)
            pageMonths.push_back(
                {{months.begin() + qsizetype(first),
                  months.begin() + qsizetype(std::min(months.size(), first + perPage))},
                 months.size()});
    }

    SheetPlan plan;
    for (const PageMonths &page : pageMonths) {
        const qint64 count = qint64(page.months.size());
        const qint64 rows = (count + perRow - 1) / perRow;
        const qint64 left = view.weekdaysAcross ? 0 : m.namesW;
        const qint64 width = left + perRow * (m.blockW + m.monthsX) - m.monthsX +
                             (rightNames ? m.monthsX + m.nameW : 0);
        const qint64 height = m.yearBand + rows * (m.blockH + m.monthsY) - m.monthsY;
        if (width < 1 || height < 1 || m.blockW < 1 || m.blockH < 1)
            return SheetError::Empty;
        if (width > kMaxCanvasSide || height > kMaxCanvasSide ||
            width * height * 4 > kMaxCanvasBytes)
            return SheetError::TooLarge;
        PagePlan &pagePlan = plan.pages.emplace_back();
        CanvasPlan &canvas = pagePlan.canvases.emplace_back();
        canvas.size = QSize(int(width), int(height));
        PagePlanner planner(m, glyphs, view, days, canvas.places);
        if (view.yearTitle) {
            std::vector<qint32> years;
            for (std::size_t i = 0; i < page.months.size(); ++i)
                if ((!pages.quarterly || i == page.middle) &&
                    std::find(years.begin(), years.end(), page.months[i].year) == years.end())
                    years.push_back(page.months[i].year);
            planner.yearTitle(years, width);
        }
        for (qint64 r = 0; r < rows; ++r) {
            const qint64 top = m.yearBand + r * (m.blockH + m.monthsY);
            if (!view.weekdaysAcross) {
                const qint64 daysTop = top + m.titleBand + m.weekBand;
                const bool pale = pages.quarterly && std::size_t(r) != page.middle;
                planner.nameColumn(0, daysTop, pale);
                if (rightNames)
                    planner.nameColumn(width - m.nameW, daysTop, pale);
            }
            for (qint64 l = 0; l < perRow; ++l) {
                const std::size_t i = std::size_t(r * perRow + l);
                if (i >= page.months.size())
                    break;
                const bool pale = pages.quarterly && i != page.middle;
                planner.month({page.months[i], left + l * (m.blockW + m.monthsX), top, pale});
            }
        }
    }
    return plan;
}

} // namespace vexilo
