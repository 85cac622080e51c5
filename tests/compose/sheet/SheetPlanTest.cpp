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
