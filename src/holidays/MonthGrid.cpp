#include "MonthGrid.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace vexilo {

namespace {

qint32 modulo7(qint64 value)
{
    return static_cast<qint32>((value % 7 + 7) % 7);
}

} // namespace

QString zodiacWord(qint32 year)
{
    // The remainder keeps the sign of the year: a year below 1 names its own animal.
    qint32 r = year % 12;
    if (r == 0)
        r = 12;
    switch (r) {
    case 1:
        return QStringLiteral("ПЕТУХА");
    case 2:
        return QStringLiteral("СОБАКИ");
    case 3:
        return QStringLiteral("КАБАНА");
    case 4:
        return QStringLiteral("КРЫСЫ");
    case 5:
        return QStringLiteral("ВОЛА");
    case 6:
        return QStringLiteral("ТИГРА");
    case 7:
        // The O after "КР" is a Latin letter in the title as users know it; kept so.
        return QStringLiteral("КОТА / КР") + QLatin1Char('O') + QStringLiteral("ЛИКА");
    case 8:
        return QStringLiteral("ДРАКОНА");
    case 9:
        return QStringLiteral("ЗМЕИ");
    case 10:
        return QStringLiteral("ЛОШАДИ");
    case 11:
        return QStringLiteral("ОВЦЫ");
    case 12:
        return QStringLiteral("ОБЕЗЬЯНЫ");
    default:
        return {};
    }
}

QString yearTitle(qint32 year)
{
    return QString::number(year) + QStringLiteral(" ГОД ") + zodiacWord(year);
}

YearCalendar yearCalendar(qint32 year, const std::array<qint32, 13> &DniMesyaca)
{
    YearCalendar calendar;
    calendar.KolDney = DniMesyaca;
    calendar.KolDney[0] = 0;
    calendar.KolDney[2] = februaryLength(year);
    calendar.PervyiDen[1] = weekdayOfJanuary1(year);
    for (std::size_t m = 2; m <= 12; ++m)
        calendar.PervyiDen[m] =
            modulo7(qint64(calendar.PervyiDen[m - 1]) + calendar.KolDney[m - 1] - 28);
    return calendar;
}

Setka monthLayout(qint32 firstWeekday, qint32 length)
{
    Setka grid{};
    const qint32 last = std::min(length, clsPrazdniki::kMaxDay);
    qint32 day = 0;
    for (qint32 c = 0; c < kGridColumns && day < last; ++c) {
        for (qint32 r = c == 0 ? modulo7(firstWeekday) : 0; r < kGridRows && day < last; ++r) {
            ++day;
            grid[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] = day;
        }
    }
    return grid;
}

qint32 dayInCell(const Setka &grid, qint32 column, qint32 row)
{
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows)
        return 0;
    return grid[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

qint32 cellIndex(double coordinate)
{
    // Far outside the grid is as good as just outside it; keeps the conversion defined.
    const double rounded = std::clamp(roundHalfEven(coordinate), -1.0e6, 1.0e6);
    if (std::isnan(rounded))
        return -1;
    return static_cast<qint32>(rounded) / kCellSize;
}

double dayTextLeft(qint32 column, double textWidth)
{
    return (kCellSize - textWidth) * 0.5 + kCellSize * column;
}

void addDefaultHolidays(clsPrazdniki &entry, const YearCalendar &calendar)
{
    for (qint32 m = 1; m <= 12; ++m) {
        const auto month = static_cast<std::size_t>(m);
        const qint32 length = std::min(calendar.KolDney[month], clsPrazdniki::kMaxDay);
        for (qint32 d = 1; d <= length; ++d) {
            if (modulo7(qint64(calendar.PervyiDen[month]) + d - 1) >= 5)
                (void)entry.AddPrazdnik(m, d);
        }
    }
    static constexpr std::array<std::array<qint32, 2>, 13> kFixed = {{
        {1, 1},
        {1, 2},
        {1, 3},
        {1, 4},
        {1, 5},
        {1, 6},
        {1, 7},
        {2, 23},
        {3, 8},
        {5, 1},
        {5, 9},
        {6, 12},
        {11, 4},
    }};
    for (const auto &[m, d] : kFixed)
        (void)entry.AddPrazdnik(m, d);
}

void addDefaultHolidays(clsPrazdniki &entry, qint32 year, const std::array<qint32, 13> &DniMesyaca)
{
    addDefaultHolidays(entry, yearCalendar(year, DniMesyaca));
}

} // namespace vexilo
