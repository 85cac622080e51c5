#include "common/CalendarMath.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace vexilo;

TEST(CalendarMath, FebruaryFollowsTheGregorianRule)
{
    EXPECT_EQ(februaryLength(1900), 28);
    EXPECT_EQ(februaryLength(2000), 29);
    EXPECT_EQ(februaryLength(2012), 29);
    EXPECT_EQ(februaryLength(2013), 28);
    EXPECT_EQ(februaryLength(2100), 28);
}

TEST(CalendarMath, WeekdayOfJanuaryFirstMatchesTheRealCalendar)
{
    EXPECT_EQ(weekdayOfJanuary1(2013), 1); // Tuesday
    EXPECT_EQ(weekdayOfJanuary1(2018), 0); // Monday
    EXPECT_EQ(weekdayOfJanuary1(1), 0);
    for (int year = 1000; year <= 9999; year += 37)
        EXPECT_EQ(weekdayOfJanuary1(year), QDate(year, 1, 1).dayOfWeek() - 1) << year;
    // Absurd years answer at once and stay in range.
    EXPECT_GE(weekdayOfJanuary1(2147483647), 0);
    EXPECT_LE(weekdayOfJanuary1(2147483647), 6);
    EXPECT_EQ(weekdayOfJanuary1(-5), 0);
}

TEST(CalendarMath, WeekdayAndIsoWeekMatchQtOnEveryDay)
{
    QDate date(kFirstYear, 1, 1);
    const QDate end(kLastYear + 1, 1, 1);
    for (; date < end; date = date.addDays(1)) {
        int y = 0, m = 0, d = 0;
        date.getDate(&y, &m, &d);
        int weekYear = 0;
        const int week = date.weekNumber(&weekYear);
        const IsoWeek iso = isoWeekOf(y, m, d);
        if (weekdayOf(y, m, d) != date.dayOfWeek() - 1 || iso.week != week || iso.year != weekYear)
            FAIL() << date.toString(Qt::ISODate).toStdString() << ": weekday " << weekdayOf(y, m, d)
                   << ", week " << iso.week << " of " << iso.year;
    }
}

TEST(CalendarMath, KnownWeeksAroundNewYear)
{
    struct Case
    {
        int year, month, day;
        int weekday;     // 0 = Monday
        int sundayFirst; // place in a week that begins on Sunday
        IsoWeek iso;
        int weeksInYear; // ISO weeks of `year`
    };
    const Case cases[] = {
        {2027, 1, 1, 4, 5, {2026, 53}, 52},   // a Friday, still in the last week of 2026
        {2027, 1, 3, 6, 0, {2026, 53}, 52},   // a Sunday, first of a week that begins on it
        {2027, 1, 4, 0, 1, {2027, 1}, 52},    // the Monday of week 1
        {2026, 1, 1, 3, 4, {2026, 1}, 53},    // a year that begins on a Thursday
        {2020, 1, 1, 2, 3, {2020, 1}, 53},    // a leap year that begins on a Wednesday
        {2021, 1, 3, 6, 0, {2020, 53}, 52},   // the end of that year's 53rd week
        {2032, 12, 31, 4, 5, {2032, 53}, 53}, // a leap year that begins on a Thursday
        {2024, 12, 30, 0, 1, {2025, 1}, 52},  // December already in week 1 of the next year
        {1, 1, 1, 0, 1, {1, 1}, 52},          // the first day of the calendar
        {9999, 12, 31, 4, 5, {9999, 52}, 52}, // the last day of the last sheet
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << '-' << c.month << '-' << c.day);
        EXPECT_EQ(weekdayOf(c.year, c.month, c.day), c.weekday);
        EXPECT_EQ(placeInWeek(c.weekday, WeekStart::Sunday), c.sundayFirst);
        EXPECT_EQ(placeInWeek(c.weekday, WeekStart::Monday), c.weekday);
        EXPECT_EQ(isoWeekOf(c.year, c.month, c.day), c.iso);
        EXPECT_EQ(isoWeeksInYear(c.year), c.weeksInYear);
    }
    static_assert(isoWeekOf(2027, 1, 1) == IsoWeek{2026, 53});
}
