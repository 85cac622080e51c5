#include "compose/sheet/SheetPlan.h"
#include "common/CalendarMath.h"

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

constexpr auto Digit = GlyphRole::Digit;
constexpr auto Weekday = GlyphRole::Weekday;
constexpr auto Plain = GlyphVariant::Plain;
constexpr auto Holiday = GlyphVariant::Holiday;

} // namespace

// A set of 40×60 glyphs, the default spacings, three months a row, 2013 with 1 January marked:
// row pitch 65, first month at 60, week columns 90 apart, months 548 wide, the right weekday
// column at 1754, canvases 1794×450 and 470 apart.
TEST(SheetPlan, YearPlacesFollowTheWorkedGeometry)
{
    const auto layout = yearGeometry({40, 60}, 40, Spacings{}, 1);
    ASSERT_TRUE(std::holds_alternative<SheetGeometry>(layout));
    clsPrazdniki holidays;
    ASSERT_TRUE(holidays.AddPrazdnik(1, 1));
    const std::array<qint32, 32> chisla = standardDayNumbers();
    const std::array<qint32, 13> days = monthLengthsOf(2013);
    const std::array<qint32, 13> first = firstWeekdays(2013, days);
    const SheetPlan plan =
        yearPlan(std::get<SheetGeometry>(layout), {holidays, chisla, days, first});

    ASSERT_EQ(plan.pages.size(), 1U);
    const PagePlan &page = plan.pages.front();
    ASSERT_EQ(page.canvases.size(), 4U);
    EXPECT_EQ(page.pitch, 470);
    EXPECT_EQ(page.canvases[0].size, QSize(1794, 450));

    struct Case
    {
        const char *what;
        std::size_t canvas;
        std::size_t order; // place in drawing order
        GlyphPlace place;
    };
    const std::vector<Case> cases = {
        {"Пн, left", 0, 0, {Weekday, 0, Plain, 0, 0}},
        {"Пт, left", 0, 4, {Weekday, 4, Plain, 0, 260}},
        {"Пн, right", 0, 5, {Weekday, 0, Plain, 1754, 0}},
        {"Сб, right before left", 0, 10, {Weekday, 5, Holiday, 1754, 325}},
        {"Вс, left last", 0, 13, {Weekday, 6, Holiday, 0, 390}},
        {"1 January, a Tuesday, marked", 0, 14, {Digit, 1, Holiday, 103, 65}},
        {"2 January", 0, 15, {Digit, 2, Plain, 103, 130}},
        {"10 January, tens", 0, 23, {Digit, 1, Plain, 150, 195}},
        {"10 January, units", 0, 24, {Digit, 0, Plain, 193, 195}},
        {"1 February, a Friday", 0, 67, {Digit, 1, Plain, 651, 260}},
        {"1 April, a Monday, opens row 2", 1, 14, {Digit, 1, Plain, 103, 0}},
        {"1 December, a Sunday", 3, 14 + (9 + 22 * 2) + (9 + 21 * 2), {Digit, 1, Plain, 1199, 390}},
    };
    for (const Case &c : cases) {
        const std::vector<GlyphPlace> &places = page.canvases.at(c.canvas).places;
        ASSERT_LT(c.order, places.size()) << c.what;
        EXPECT_EQ(places[c.order], c.place) << c.what;
    }
}

TEST(SheetPlan, AtAnyScaleEachPlaceIsRoundedOnce)
{
    SheetPlan plan;
    plan.pages.push_back(
        {{{{655, 135}, {{Digit, 3, Holiday, 53, 20}, {Weekday, 0, Plain, -7, 1}}}}, 155});
    const SheetPlan scaled = scaledPlan(plan, 300.0 / 96);
    const PagePlan &page = scaled.pages.front();
    EXPECT_EQ(page.pitch, 484);                         // 484.375
    EXPECT_EQ(page.canvases[0].size, QSize(2047, 422)); // 2046.875, 421.875
    EXPECT_EQ(page.canvases[0].places[0], (GlyphPlace{Digit, 3, Holiday, 166, 63})); // 165.6, 62.5
    EXPECT_EQ(page.canvases[0].places[1], (GlyphPlace{Weekday, 0, Plain, -22, 3}));  // -21.9, 3.1
}

namespace {

struct YearMarks
{
    YearHolidays holidays;
    std::array<qint32, 32> chisla = standardDayNumbers();

    explicit YearMarks(std::initializer_list<qint32> years)
    {
        for (const qint32 year : years) {
            clsPrazdniki &marks = holidays[year];
            EXPECT_TRUE(marks.AddPrazdnik(1, 1 + year % 7));
            EXPECT_TRUE(marks.AddPrazdnik(9, 1 + year % 5));
        }
    }
    SheetPlan described(qint32 year, qint32 month, int perRowIndex) const
    {
        const std::array<qint32, 13> days = monthLengthsOf(year);
        const std::array<qint32, 13> first = firstWeekdays(year, days);
        const PlanDays planDays{holidays.at(year), chisla, days, first};
        if (month != 0)
            return monthPlan(month, std::get<SheetGeometry>(monthGeometry({40, 60}, 40, {})),
                             planDays);
        return yearPlan(std::get<SheetGeometry>(yearGeometry({40, 60}, 40, {}, perRowIndex)),
                        planDays);
    }
    SheetPlan period(const PeriodPages &pages) const
    {
        auto g = monthSheetPages(pages) ? std::get<SheetGeometry>(monthGeometry({40, 60}, 40, {}))
                                        : std::get<SheetGeometry>(rowsGeometry(
                                              {40, 60}, 40, {}, pages.perRow, rowsPerPage(pages)));
        if (pages.quarterly)
            g.ShagRisunkov = g.canvasHeight + 20;
        return periodPlan(g, pages, {holidays, chisla});
    }
};

const CanvasPlan &canvasOf(const SheetPlan &plan, std::size_t page, std::size_t canvas)
{
    return plan.pages.at(page).canvases.at(canvas);
}

std::vector<GlyphPlace> paled(std::vector<GlyphPlace> places)
{
    for (GlyphPlace &place : places)
        place.variant = place.red() ? GlyphVariant::PaleHoliday : GlyphVariant::Pale;
    return places;
}

} // namespace

// A period's rows and pages are the described sheets' rows and month sheets, month by month,
// each month with its own year's marks.
TEST(SheetPlan, PeriodsAreMadeOfTheDescribedRowsAndMonths)
{
    const YearMarks marks{2026, 2027, 2028};
    // The year as a period is the year sheet, at every count a row.
    for (const auto &[perRow, index] : {std::pair{2, 0}, {3, 1}, {4, 2}, {6, 3}}) {
        const SheetPlan plan = marks.period({{2027, 1, 12}, 12, perRow});
        const SheetPlan year = marks.described(2027, 0, index);
        ASSERT_EQ(plan.pages.size(), 1U);
        EXPECT_EQ(plan.pages[0].pitch, year.pages[0].pitch);
        ASSERT_EQ(plan.pages[0].canvases.size(), year.pages[0].canvases.size()) << perRow;
        for (std::size_t k = 0; k < year.pages[0].canvases.size(); ++k) {
            EXPECT_EQ(canvasOf(plan, 0, k).size, canvasOf(year, 0, k).size);
            EXPECT_EQ(canvasOf(plan, 0, k).places, canvasOf(year, 0, k).places) << perRow << k;
        }
    }
    // A school year at four a row: the last row of 2026, then the first two of 2027.
    const SheetPlan school = marks.period({{2026, 9, 12}, 12, 4});
    const SheetPlan y2026 = marks.described(2026, 0, 2);
    const SheetPlan y2027 = marks.described(2027, 0, 2);
    ASSERT_EQ(school.pages.at(0).canvases.size(), 3U);
    EXPECT_EQ(canvasOf(school, 0, 0).places, canvasOf(y2026, 0, 2).places);
    EXPECT_EQ(canvasOf(school, 0, 1).places, canvasOf(y2027, 0, 0).places);
    EXPECT_EQ(canvasOf(school, 0, 2).places, canvasOf(y2027, 0, 1).places);

    // A wall calendar: fourteen month sheets, December before and January after.
    const SheetPlan wall = marks.period({{2026, 12, 14}, 1, 4});
    ASSERT_EQ(wall.pages.size(), 14U);
    for (qint32 p = 0; p < 14; ++p) {
        const YearMonth ym = monthOfPeriod({2026, 12, 14}, p);
        ASSERT_EQ(wall.pages[std::size_t(p)].canvases.size(), 1U);
        EXPECT_EQ(canvasOf(wall, std::size_t(p), 0).places,
                  canvasOf(marks.described(ym.year, ym.month, 0), 0, 0).places)
            << ym.year << '-' << ym.month;
    }
    // Five months a page at two a row: pages of three rows, the last one short.
    const SheetPlan five = marks.period({{2027, 3, 12}, 5, 2});
    ASSERT_EQ(five.pages.size(), 3U);
    EXPECT_EQ(five.pages[0].canvases.size(), 3U);
    EXPECT_EQ(five.pages[2].canvases.size(), 1U);

    // Quarterly: page 1 of 2027 is December 2026 and February 2027, pale, round January.
    const SheetPlan quarterly = marks.period({{2027, 1, 12}, 1, 4, true});
    ASSERT_EQ(quarterly.pages.size(), 12U);
    EXPECT_EQ(quarterly.pages[0].pitch, canvasOf(quarterly, 0, 0).size.height() + 20);
    EXPECT_EQ(canvasOf(quarterly, 0, 0).places,
              paled(canvasOf(marks.described(2026, 12, 0), 0, 0).places));
    EXPECT_EQ(canvasOf(quarterly, 0, 1).places, canvasOf(marks.described(2027, 1, 0), 0, 0).places);
    EXPECT_EQ(canvasOf(quarterly, 0, 2).places,
              paled(canvasOf(marks.described(2027, 2, 0), 0, 0).places));
    EXPECT_EQ(canvasOf(quarterly, 11, 2).places,
              paled(canvasOf(marks.described(2028, 1, 0), 0, 0).places));
    EXPECT_EQ(periodYears({{2027, 1, 12}, 1, 4, true}), (std::vector<qint32>{2026, 2027, 2028}));
}
