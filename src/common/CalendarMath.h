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

// Day of the year (1 = 1 January) of day d of month m. A day beyond its month counts on into
// the next, and months outside 1..12 add nothing, so no input reads outside the month table.
constexpr qint64 dayOfYear(qint64 year, qint32 month, qint64 day)
{
    const auto lengths = monthLengthsOf(year);
    qint64 before = 0;
    for (qint32 m = 1; m < month && m <= 12; ++m)
        before += lengths[static_cast<std::size_t>(m)];
    return before + day;
}

// Weekday (0 = Monday .. 6 = Sunday) of the date, for the years 1..9999 of the Gregorian
// calendar carried back, as the sheets draw them.
constexpr qint32 weekdayOf(qint64 year, qint32 month, qint64 day)
{
    const qint64 shift = (weekdayOfJanuary1(year) + dayOfYear(year, month, day) - 1) % 7;
    return static_cast<qint32>(shift < 0 ? shift + 7 : shift);
}

// The first day of a drawn week.
enum class WeekStart { Monday, Sunday };

// Place (0..6) of a weekday (0 = Monday .. 6 = Sunday) in a week that begins on `start`.
constexpr qint32 placeInWeek(qint32 weekday, WeekStart start)
{
    return start == WeekStart::Sunday ? (weekday + 1) % 7 : weekday;
}

// ISO 8601 weeks begin on Monday, and week 1 of a week-year is the week holding its first
// Thursday. A year has 53 weeks when it begins on a Thursday, or on a Wednesday in a leap year.
constexpr qint32 isoWeeksInYear(qint64 year)
{
    const qint32 first = weekdayOfJanuary1(year);
    return first == 3 || (first == 2 && isLeapYear(year)) ? 53 : 52;
}

struct IsoWeek
{
    qint64 year = 0; // the week-year, one off the date's year around New Year
    qint32 week = 0; // 1..53
    friend constexpr bool operator==(const IsoWeek &, const IsoWeek &) = default;
};

constexpr IsoWeek isoWeekOf(qint64 year, qint32 month, qint64 day)
{
    // The week's Thursday decides its year: count from the day of the year moved to it.
    const qint64 thursday = dayOfYear(year, month, day) - weekdayOf(year, month, day) + 3;
    if (thursday < 1)
        return {year - 1, isoWeeksInYear(year - 1)};
    const qint64 yearLength = isLeapYear(year) ? 366 : 365;
    if (thursday > yearLength)
        return {year + 1, 1};
    return {year, static_cast<qint32>((thursday - 1) / 7 + 1)};
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
