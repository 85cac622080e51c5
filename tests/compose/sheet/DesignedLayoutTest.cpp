#include "compose/sheet/DesignedLayout.h"

#include <QDate>

#include <gtest/gtest.h>

#include <map>

using namespace vexilo;

namespace {

// Digits 10×14, names 22×14, titles 60×20 (May 40×30), the default spacings: a number is 23
// wide, «Числа X» 3 inside it.
const DesignGlyphs kGlyphs = [] {
    DesignGlyphs glyphs{{10, 14}, {22, 14}, {}};
    glyphs.titles.fill({60, 20});
    glyphs.titles[4] = {40, 30};
    return glyphs;
}();
constexpr qint64 kUnits = 13; // from a number's left edge to its units digit

// A number as the plan draws it: where its cell starts, and its tint.
struct Drawn
{
    qint32 value;
    qint64 x, y;
    GlyphTint tint;
};

// The numbers of a canvas, in drawing order: a tens digit followed by its units digit one
// digit and «Числа X» to the right, or a units digit alone.
std::vector<Drawn> numbers(const CanvasPlan &canvas)
{
    std::vector<Drawn> found;
    const auto &p = canvas.places;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i].role != GlyphRole::Digit)
            continue;
        if (i + 1 < p.size() && p[i + 1].role == GlyphRole::Digit && p[i + 1].y == p[i].y &&
            p[i + 1].x == p[i].x + kUnits && p[i + 1].variant == p[i].variant) {
            found.push_back({p[i].index * 10 + p[i + 1].index, p[i].x, p[i].y, p[i].variant});
            ++i;
        } else {
            found.push_back({p[i].index, p[i].x - kUnits, p[i].y, p[i].variant});
        }
    }
    return found;
}

std::vector<GlyphPlace> placesOf(const CanvasPlan &canvas, GlyphRole role)
{
    std::vector<GlyphPlace> found;
    for (const GlyphPlace &place : canvas.places)
        if (place.role == role)
            found.push_back(place);
    return found;
}

struct Marks
{
    YearHolidays holidays;
    std::array<qint32, 32> chisla = standardDayNumbers();
};

SheetPlan design(const CalendarView &view, const PeriodPages &pages, const Marks &marks)
{
    auto plan = designedPlan(kGlyphs, Spacings{}, view, pages, {marks.holidays, marks.chisla});
    EXPECT_TRUE(std::holds_alternative<SheetPlan>(plan));
    return std::holds_alternative<SheetPlan>(plan) ? std::get<SheetPlan>(plan) : SheetPlan{};
}

const PeriodPages kJanuary2027{{2027, 1, 1}, 1, 1};

} // namespace

// Weekdays across the top, either first day, with the month's title in each alignment.
TEST(DesignedLayout, WeekdaysAcrossStandInOrderAboveTheDays)
{
    struct Case
    {
        WeekStart start;
        TitleAlign align;
        std::array<std::uint8_t, 7> names; // left to right
        qint32 firstDayColumn;             // where 1 January, a Friday, stands
        qint32 secondRowStarts;            // the day that opens the second week row
        qint64 titleX;
    };
    // A month is 7 columns of 23, 10 apart: 221 wide.
    const std::vector<Case> cases = {
        {WeekStart::Monday, TitleAlign::Left, {0, 1, 2, 3, 4, 5, 6}, 4, 4, 0},
        {WeekStart::Sunday, TitleAlign::Centre, {6, 0, 1, 2, 3, 4, 5}, 5, 3, 80},
        {WeekStart::Monday, TitleAlign::Right, {0, 1, 2, 3, 4, 5, 6}, 4, 4, 161},
    };
    Marks marks;
    ASSERT_TRUE(marks.holidays[2027].AddPrazdnik(1, 1));
    for (const Case &c : cases) {
        CalendarView view;
        view.weekdaysAcross = true;
        view.weekStart = c.start;
        view.monthTitles = c.align;
        const SheetPlan plan = design(view, kJanuary2027, marks);
        ASSERT_EQ(plan.pages.size(), 1U);
        ASSERT_EQ(plan.pages[0].canvases.size(), 1U);
        const CanvasPlan &canvas = plan.pages[0].canvases[0];
        // The tallest title (May's 30) and the gap of 10, the names' row, six week rows.
        EXPECT_EQ(canvas.size, QSize(221, 40 + 19 + 6 * 19 - 5));

        const std::vector<GlyphPlace> titles = placesOf(canvas, GlyphRole::MonthTitle);
        ASSERT_EQ(titles.size(), 1U);
        EXPECT_EQ(titles[0],
                  (GlyphPlace{GlyphRole::MonthTitle, 0, GlyphTint::Plain, c.titleX, 10}));

        const std::vector<GlyphPlace> names = placesOf(canvas, GlyphRole::Weekday);
        ASSERT_EQ(names.size(), 7U);
        for (std::size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(names[i].index, c.names[i]);
            EXPECT_EQ(names[i].x, qint64(i) * 33);
            EXPECT_EQ(names[i].y, 40); // under the title band
            EXPECT_EQ(names[i].variant, c.names[i] >= 5 ? GlyphTint::Holiday : GlyphTint::Plain);
        }
        const std::vector<Drawn> days = numbers(canvas);
        ASSERT_EQ(days.size(), 31U);
        EXPECT_EQ(days[0].value, 1);
        EXPECT_EQ(days[0].x, c.firstDayColumn * 33);
        EXPECT_EQ(days[0].y, 40 + 19);
        EXPECT_EQ(days[0].tint, GlyphTint::Holiday);
        const Drawn &opener = days[std::size_t(c.secondRowStarts - 1)];
        EXPECT_EQ(opener.x, 0);
        EXPECT_EQ(opener.y, 40 + 19 + 19);
    }
}

// Week numbers in grey, one per week a month touches, are QDate's ISO weeks, in both
// orientations and either first day; a week of two months is numbered in both.
TEST(DesignedLayout, WeekNumbersAreTheIsoWeeks)
{
    Marks marks;
    for (const qint32 year : {2020, 2021, 2026, 2027, 2032}) {
        for (const bool across : {false, true}) {
            for (const WeekStart start : {WeekStart::Monday, WeekStart::Sunday}) {
                CalendarView view;
                view.weekdaysAcross = across;
                view.weekStart = start;
                view.weekNumbers = true;
                const SheetPlan plan = design(view, {{year, 1, 12}, 12, 1}, marks);
                ASSERT_EQ(plan.pages.size(), 1U);
                const CanvasPlan &canvas = plan.pages[0].canvases[0];
                std::vector<qint32> drawn;
                for (const Drawn &n : numbers(canvas))
                    if (n.tint == GlyphTint::Grey)
                        drawn.push_back(n.value);
                std::vector<qint32> expected;
                for (int month = 1; month <= 12; ++month) {
                    const QDate first(year, month, 1);
                    // The Monday of each drawn week, the first one on or before the 1st
                    // (or after a Sunday that opens the week).
                    const int back = start == WeekStart::Monday ? first.dayOfWeek() - 1
                                                                : (first.dayOfWeek() % 7) - 1;
                    for (QDate monday = first.addDays(-back);
                         monday.addDays(start == WeekStart::Sunday ? -1 : 0) <=
                         QDate(year, month, first.daysInMonth());
                         monday = monday.addDays(7))
                        expected.push_back(monday.weekNumber());
                }
                EXPECT_EQ(drawn, expected) << year << across << int(start);
            }
        }
    }
    // 1 January 2027 is in week 53 of 2026.
    CalendarView view;
    view.weekNumbers = true;
    EXPECT_EQ(numbers(design(view, kJanuary2027, marks).pages[0].canvases[0]).front().value, 53);
}

// The empty cells of the first and last week get the neighbouring months' days, pale, their
// holidays pale red; the outer months of a quarterly page are pale throughout, the titles never.
TEST(DesignedLayout, NeighbourDaysAndOuterMonthsArePale)
{
    Marks marks;
    ASSERT_TRUE(marks.holidays[2026].AddPrazdnik(12, 31));
    ASSERT_TRUE(marks.holidays[2027].AddPrazdnik(1, 1));
    CalendarView view;
    view.neighbourDays = true;
    const std::vector<Drawn> days =
        numbers(design(view, {{2026, 12, 1}, 1, 1}, marks).pages[0].canvases[0]);
    // December 2026 runs Tuesday to Thursday: Monday 30 November before it, 1 to 3 January
    // after it, five weeks of seven weekday rows 19 apart.
    ASSERT_EQ(days.size(), 35U);
    const std::vector<std::pair<std::size_t, Drawn>> expected = {
        {0, {30, 0, 0, GlyphTint::Pale}},      {1, {1, 0, 19, GlyphTint::Plain}},
        {31, {31, 0, 57, GlyphTint::Holiday}}, {32, {1, 0, 76, GlyphTint::PaleHoliday}},
        {34, {3, 0, 114, GlyphTint::Pale}},
    };
    for (const auto &[i, want] : expected) {
        EXPECT_EQ(days[i].value, want.value) << i;
        EXPECT_EQ(days[i].y, want.y) << i;
        EXPECT_EQ(days[i].tint, want.tint) << i;
    }

    CalendarView quarterly;
    quarterly.monthTitles = TitleAlign::Left;
    const SheetPlan plan = design(quarterly, {{2027, 1, 12}, 1, 1, true}, marks);
    ASSERT_EQ(plan.pages.size(), 12U);
    std::map<GlyphTint, int> tints;
    for (const GlyphPlace &place : plan.pages[0].canvases[0].places)
        ++tints[place.variant];
    const std::vector<GlyphPlace> titles =
        placesOf(plan.pages[0].canvases[0], GlyphRole::MonthTitle);
    ASSERT_EQ(titles.size(), 3U);
    EXPECT_EQ(titles[0].index, 11); // December
    EXPECT_EQ(titles[2].index, 1);  // February
    for (const GlyphPlace &title : titles)
        EXPECT_EQ(title.variant, GlyphTint::Plain);
    EXPECT_GT(tints[GlyphTint::Pale], 0);
    EXPECT_GT(tints[GlyphTint::PaleHoliday], 0);
    EXPECT_EQ(tints[GlyphTint::Grey], 0);
}
