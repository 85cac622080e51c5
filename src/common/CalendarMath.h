#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace vexilo {

// Gregorian rule: divisible by 4 and not by 100, or divisible by 400.
constexpr bool isLeapYear(qint64 year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr qint32 februaryLength(qint64 year)
{
    return isLeapYear(year) ? 29 : 28;
}

// Days in month m (1..12) of the year; index 0 is unused.
constexpr std::array<qint32, 13> monthLengthsOf(qint64 year)
{
    return {0, 31, februaryLength(year), 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

// The number drawn for each day d (1..31) when nothing asks otherwise: d itself.
constexpr std::array<qint32, 32> standardDayNumbers()
{
    std::array<qint32, 32> chisla{};
    for (qint32 d = 1; d <= 31; ++d)
        chisla[static_cast<std::size_t>(d)] = d;
    return chisla;
}

// Weekday of 1 January (0 = Monday .. 6 = Sunday): the sum over the years 1 .. year - 1 of
// 1 for a common and 2 for a leap year, modulo 7, with 1 January of year 1 a Monday. The sum
// is counted in closed form so that an absurd year cannot stall the program; years below 1
// have an empty sum.
constexpr qint32 weekdayOfJanuary1(qint64 year)
{
    if (year <= 1)
        return 0;
    const qint64 n = year - 1;
    const qint64 leaps = n / 4 - n / 100 + n / 400;
    return static_cast<qint32>((n + leaps) % 7);
}

// Sheets and holiday years are for the years 1000..9999.
constexpr qint32 kFirstYear = 1000;
constexpr qint32 kLastYear = 9999;

constexpr bool isCalendarYear(qint64 year)
{
    return year >= kFirstYear && year <= kLastYear;
}

// What the user is told for a year outside that range.
inline QString yearRefusedMessage()
{
    return QStringLiteral("Не зачем вам календарь этого года.");
}

} // namespace vexilo
