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
