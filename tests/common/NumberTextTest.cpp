#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexilo;

TEST(NumberText, ReadsTheNumberAtTheStartOfTheText)
{
    EXPECT_EQ(wholeNumber(u" 2013"), 2013);
    EXPECT_EQ(wholeNumber(u"12abc"), 12);
    EXPECT_EQ(wholeNumber(u""), 0);
    EXPECT_EQ(wholeNumber(u"abc"), 0);
    EXPECT_EQ(wholeNumber(u"-7"), -7);
    EXPECT_EQ(wholeNumber(u"0099"), 99);
    EXPECT_EQ(wholeNumber(u"1 9 9 9"), 1999); // blanks inside are skipped
    EXPECT_DOUBLE_EQ(readNumber(u"12.75x"), 12.75);
    EXPECT_DOUBLE_EQ(readNumber(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(readNumber(u"-"), 0.0);
}

TEST(NumberText, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(wholeNumber(u"2.5"), 2);
    EXPECT_EQ(wholeNumber(u"3.5"), 4);
    EXPECT_EQ(wholeNumber(u"-2.5"), -2);
    EXPECT_EQ(wholeNumber(u"2.51"), 3);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.5), 2.0);
}

TEST(NumberText, NumbersBeyondThe32BitRangeAreReportedNotWrapped)
{
    EXPECT_EQ(wholeNumber(u"2147483647"), 2147483647);
    EXPECT_EQ(wholeNumber(u"-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(wholeNumber(u"2147483648").has_value());
    EXPECT_FALSE(wholeNumber(u"-99999999999999999999").has_value());
    const QString huge(100000, QLatin1Char('9'));
    EXPECT_TRUE(std::isinf(readNumber(huge)));
    EXPECT_FALSE(wholeNumber(huge).has_value());
}

TEST(NumberText, SettingsNumbersCarryABlankOrASign)
{
    EXPECT_EQ(settingsNumber(1), QStringLiteral(" 1"));
    EXPECT_EQ(settingsNumber(0), QStringLiteral(" 0"));
    EXPECT_EQ(settingsNumber(-1), QStringLiteral("-1"));
    EXPECT_EQ(settingsNumber(2013), QStringLiteral(" 2013"));
}
