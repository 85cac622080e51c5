#pragma once

#include "holidays/clsPrazdniki.h"

#include <QString>

#include <array>

namespace vexilo {

// The editor's month grid: weeks as columns, weekdays as rows (Monday at the top).
constexpr qint32 kCellSize = 45;
constexpr qint32 kGridColumns = 6;
constexpr qint32 kGridRows = 7;
constexpr qint32 kDayTextTop = 12; // a day number stands this far below its cell's top

// Zodiac animal of a year in the genitive ("ЗМЕИ" for 2013); empty for years below zero.
QString zodiacWord(qint32 year);
// "2013 ГОД ЗМЕИ".
QString yearTitle(qint32 year);

// Month lengths and the weekday (0 = Monday) of each month's first day, months 1..12.
struct YearCalendar
{
    std::array<qint32, 13> KolDney{};
    std::array<qint32, 13> PervyiDen{};
};

// The tables of a year: the month lengths of DniMesyaca with February for that year, and the
// first weekdays counted from 1 January. Years below 1 count as starting on a Monday.
YearCalendar yearCalendar(qint32 year, const std::array<qint32, 13> &DniMesyaca);

// Day number of each cell, [column][row]; 0 = empty.
using Setka = std::array<std::array<qint32, kGridRows>, kGridColumns>;

// Days 1..length laid out from the row of the first weekday in column 0. A length above 31
// counts as 31 and one below 1 leaves the grid empty; the weekday is taken modulo 7.
Setka monthLayout(qint32 firstWeekday, qint32 length);

// The day in a cell; 0 for an empty cell or one outside the grid.
qint32 dayInCell(const Setka &grid, qint32 column, qint32 row);

// Column or row of a coordinate in the grid: rounded half to even, then divided by the cell
// size truncating toward zero, so the 44 pixels before the grid still count as 0.
qint32 cellIndex(double coordinate);

// Left edge of a day number of the given width centred across its cell, not rounded.
double dayTextLeft(qint32 column, double textWidth);

// Marks every Saturday and Sunday of the year and the fixed holidays (1-7 January,
// 23 February, 8 March, 1 and 9 May, 12 June, 4 November). Marks only ever get set.
void addDefaultHolidays(clsPrazdniki &entry, const YearCalendar &calendar);
void addDefaultHolidays(clsPrazdniki &entry, qint32 year, const std::array<qint32, 13> &DniMesyaca);

} // namespace vexilo
