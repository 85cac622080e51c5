#pragma once

#include "common/CalendarMath.h"

#include <QtGlobal>

#include <cstdint>
#include <optional>

namespace vexilo {

// A run of months: the first one and how many.
struct Period
{
    qint32 year = 2013;
    qint32 month = 1; // 1..12
    qint32 months = 12;

    friend bool operator==(const Period &, const Period &) = default;
};

inline constexpr qint32 kMaxPeriodMonths = 36;

// Month `i` (0 = the first) of a period as a year and a month 1..12.
struct YearMonth
{
    qint32 year = 0;
    qint32 month = 1;
    friend bool operator==(const YearMonth &, const YearMonth &) = default;
};
constexpr YearMonth monthOfPeriod(const Period &period, qint32 i)
{
    const qint64 index = qint64(period.month - 1) + i;
    const qint64 year = period.year + (index >= 0 ? index / 12 : (index - 11) / 12);
    return {static_cast<qint32>(year), static_cast<qint32>(index - (year - period.year) * 12 + 1)};
}

enum class TitleAlign : std::uint8_t { None, Left, Centre, Right };

// What the user asks of a calendar beyond the described sheet: the period, its pages and the
// layout of each month. The default is the described year or month sheet, exactly.
struct CalendarView
{
    // None: the request's year, or its month when one is asked for.
    std::optional<Period> period;
    qint32 perPage = 0;      // months on a page; 0: the whole period on one page
    qint32 monthsPerRow = 0; // 1, 2, 3, 4 or 6; 0: the request's choice of 2, 3, 4 or 6
    bool quarterly = false;  // a page per month: the month before, the month, the month after

    bool weekdaysAcross = false; // weekdays as columns, weeks as rows
    WeekStart weekStart = WeekStart::Monday;
    TitleAlign monthTitles = TitleAlign::None;
    double titleGap = 10; // between a month's title and the month
    bool yearTitle = false;
    bool weekNumbers = false;
    bool neighbourDays = false;

    // Whether the layout of each month is the described one (the period may still differ).
    bool describedLayout() const
    {
        return !weekdaysAcross && weekStart == WeekStart::Monday &&
               monthTitles == TitleAlign::None && !yearTitle && !weekNumbers && !neighbourDays;
    }
    bool described() const
    {
        return !period && perPage == 0 && monthsPerRow == 0 && !quarterly && describedLayout();
    }
};

} // namespace vexilo
