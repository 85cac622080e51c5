#include "holidays/MonthGrid.h"
#include "holidays/MonthGridPainter.h"

#include <QDate>

#include <cmath>
#include <set>

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

const std::array<qint32, 13> kMonthLengths = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Where a day of a month stands in the grid, or (-1, -1).
std::pair<qint32, qint32> cellOfDay(const Setka &grid, qint32 day)
{
    for (qint32 c = 0; c < kGridColumns; ++c)
        for (qint32 r = 0; r < kGridRows; ++r)
            if (dayInCell(grid, c, r) == day)
                return {c, r};
    return {-1, -1};
}

} // namespace

TEST(MonthGrid, TitlesNameTheZodiacAnimal)
{
    EXPECT_EQ(yearTitle(2013), QStringLiteral("2013 ГОД ЗМЕИ"));
    EXPECT_EQ(yearTitle(2024), QStringLiteral("2024 ГОД ДРАКОНА"));
    EXPECT_EQ(zodiacWord(2016), QStringLiteral("ОБЕЗЬЯНЫ"));
    EXPECT_EQ(zodiacWord(2017), QStringLiteral("ПЕТУХА"));
    EXPECT_EQ(zodiacWord(2020), QStringLiteral("КРЫСЫ"));

    // The O after "КР" is the Latin letter, every other one Cyrillic.
    const QString rabbit = zodiacWord(2023);
    EXPECT_EQ(rabbit, QString::fromUtf8("КОТА / КР") + QChar(0x004F) + QString::fromUtf8("ЛИКА"));
    EXPECT_EQ(rabbit.at(1), QChar(0x041E));
    EXPECT_EQ(yearTitle(2023), QStringLiteral("2023 ГОД ") + rabbit);

    // Years below zero keep the sign of the remainder and get no word.
    EXPECT_EQ(yearTitle(-5), QStringLiteral("-5 ГОД "));
}

TEST(MonthGrid, CalendarTablesMatchTheRealCalendar)
{
    const YearCalendar y2013 = yearCalendar(2013, kMonthLengths);
    EXPECT_EQ(y2013.KolDney[2], 28);
    EXPECT_EQ(y2013.PervyiDen[1], 1); // 1 January 2013 was a Tuesday
    const YearCalendar y2024 = yearCalendar(2024, kMonthLengths);
    EXPECT_EQ(y2024.KolDney[2], 29);
    EXPECT_EQ(y2024.PervyiDen[1], 0);
    EXPECT_EQ(yearCalendar(2000, kMonthLengths).KolDney[2], 29);
    EXPECT_EQ(yearCalendar(1900, kMonthLengths).KolDney[2], 28);
    EXPECT_EQ(yearCalendar(2100, kMonthLengths).KolDney[2], 28);

    // Every month of four centuries against Qt's own calendar.
    for (qint32 year = 1800; year <= 2200; ++year) {
        const YearCalendar calendar = yearCalendar(year, kMonthLengths);
        for (qint32 m = 1; m <= 12; ++m) {
            const QDate first(year, m, 1);
            ASSERT_EQ(calendar.PervyiDen[std::size_t(m)], first.dayOfWeek() - 1)
                << year << "-" << m;
            ASSERT_EQ(calendar.KolDney[std::size_t(m)], first.daysInMonth()) << year << "-" << m;
        }
    }

    // Years below 1 still give tables in range.
    const YearCalendar odd = yearCalendar(-7, kMonthLengths);
    for (qint32 m = 1; m <= 12; ++m) {
        EXPECT_GE(odd.PervyiDen[std::size_t(m)], 0);
        EXPECT_LE(odd.PervyiDen[std::size_t(m)], 6);
    }
}

TEST(MonthGrid, DaysRunDownTheWeekdaysAndAcrossTheWeeks)
{
    const YearCalendar y2013 = yearCalendar(2013, kMonthLengths);
    const Setka january = monthLayout(y2013.PervyiDen[1], y2013.KolDney[1]);
    EXPECT_EQ(cellOfDay(january, 1), std::make_pair(0, 1));
    EXPECT_EQ(cellOfDay(january, 7), std::make_pair(1, 0)); // Monday 7 January
    EXPECT_EQ(dayInCell(january, 0, 0), 0);

    const YearCalendar y2015 = yearCalendar(2015, kMonthLengths);
    const Setka march = monthLayout(y2015.PervyiDen[3], y2015.KolDney[3]);
    EXPECT_EQ(cellOfDay(march, 1), std::make_pair(0, 6));
    EXPECT_EQ(cellOfDay(march, 31), std::make_pair(5, 1));
    for (qint32 r = 0; r < 6; ++r)
        EXPECT_EQ(dayInCell(march, 0, r), 0);

    // Each day of each month of 2013 once, on its own weekday row, nothing after the last.
    for (qint32 m = 1; m <= 12; ++m) {
        const Setka grid =
            monthLayout(y2013.PervyiDen[std::size_t(m)], y2013.KolDney[std::size_t(m)]);
        int filled = 0;
        for (qint32 c = 0; c < kGridColumns; ++c)
            for (qint32 r = 0; r < kGridRows; ++r)
                if (const qint32 day = dayInCell(grid, c, r); day != 0) {
                    ++filled;
                    EXPECT_EQ(r, QDate(2013, m, day).dayOfWeek() - 1);
                }
        EXPECT_EQ(filled, QDate(2013, m, 1).daysInMonth());
    }

    // Lengths out of any month's range neither overrun nor invent days.
    EXPECT_EQ(cellOfDay(monthLayout(0, 0), 1), std::make_pair(-1, -1));
    EXPECT_EQ(cellOfDay(monthLayout(6, 1000), 32), std::make_pair(-1, -1));
    EXPECT_EQ(cellOfDay(monthLayout(-1, 31), 1), std::make_pair(0, 6));

    EXPECT_EQ(dayInCell(march, 6, 0), 0);
    EXPECT_EQ(dayInCell(march, 0, 7), 0);
    EXPECT_EQ(dayInCell(march, -1, 1), 0);
}

TEST(MonthGrid, PointsMapToCellsByRoundingHalfToEven)
{
    EXPECT_EQ(cellIndex(0), 0);
    EXPECT_EQ(cellIndex(44.4), 0);
    EXPECT_EQ(cellIndex(44.5), 0); // 44
    EXPECT_EQ(cellIndex(45.5), 1); // 46
    EXPECT_EQ(cellIndex(89.5), 2); // 90
    EXPECT_EQ(cellIndex(88.5), 1); // 88
    EXPECT_EQ(cellIndex(269), 5);
    EXPECT_EQ(cellIndex(270), 6); // the last pixel column lies beyond the cells
    EXPECT_EQ(cellIndex(-44), 0); // just left of the box still counts as the first column
    EXPECT_EQ(cellIndex(-45), -1);
    EXPECT_EQ(cellIndex(1e300), 1000000 / 45);
    EXPECT_EQ(cellIndex(std::nan("")), -1);

    // A number of width w is centred across its cell.
    EXPECT_DOUBLE_EQ(dayTextLeft(0, 10), 17.5);
    EXPECT_DOUBLE_EQ(dayTextLeft(2, 21), 102);
}

TEST(MonthGrid, ANewYearHasWeekendsAndTheFixedHolidays)
{
    for (const qint32 year : {2013, 2024}) {
        clsPrazdniki entry;
        addDefaultHolidays(entry, year, kMonthLengths);
        const std::set<std::pair<int, int>> fixed = {{1, 1}, {1, 2},  {1, 3},  {1, 4}, {1, 5},
                                                     {1, 6}, {1, 7},  {2, 23}, {3, 8}, {5, 1},
                                                     {5, 9}, {6, 12}, {11, 4}};
        int marked = 0;
        for (qint32 m = 1; m <= 12; ++m) {
            for (qint32 d = 1; d <= 31; ++d) {
                const QDate date(year, m, d);
                const bool holiday =
                    date.isValid() && (date.dayOfWeek() >= 6 || fixed.count({m, d}) > 0);
                ASSERT_EQ(entry.List(m, d), holiday ? 1 : 0) << year << "-" << m << "-" << d;
                marked += holiday ? 1 : 0;
            }
            EXPECT_EQ(entry.List(m, 0), 0);
        }
        if (year == 2013) { // 104 weekend days and the fixed dates that are not on one
            EXPECT_EQ(marked, 104 + 10);
        }
    }
}

TEST(MonthGridPainter, GridLinesAndTextAreCrispAndInTheirColours)
{
    QImage grid = blankPicture(kGridWidth, kGridHeight);
    drawGridLines(grid);
    for (int k = 0; k <= 7; ++k) {
        if (45 * k < kGridHeight) {
            EXPECT_EQ(grid.pixel(100, 45 * k), qRgb(0, 0, 0)) << k;
        }
        if (45 * k < kGridWidth) {
            EXPECT_EQ(grid.pixel(45 * k, 100), qRgb(0, 0, 0)) << k;
        }
    }
    EXPECT_EQ(grid.pixel(270, 315), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(grid.pixel(44, 44), qRgb(255, 255, 255));

    // A number drawn red over the same number in black leaves no black behind: every pixel
    // inside the cell is white or red, with nothing in between.
    drawDayNumber(grid, 2, 3, 28, 0x000000FFu);
    drawDayNumber(grid, 2, 3, 28, 0u);
    drawDayNumber(grid, 2, 3, 28, 0x000000FFu);
    int red = 0;
    for (int y = 136; y < 180; ++y)
        for (int x = 91; x < 135; ++x) {
            const QRgb p = grid.pixel(x, y);
            ASSERT_TRUE(p == qRgb(255, 255, 255) || p == qRgb(255, 0, 0)) << x << "," << y;
            red += p == qRgb(255, 0, 0) ? 1 : 0;
        }
    EXPECT_GT(red, 20);

    QImage column = blankPicture(kWeekdayColumnWidth, kGridHeight);
    drawWeekdayColumn(column);
    for (int j = 0; j < 7; ++j) {
        const QRgb ink = j < 5 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
        int inked = 0;
        for (int y = 45 * j; y < 45 * j + 45; ++y)
            for (int x = 0; x < kWeekdayColumnWidth; ++x) {
                const QRgb p = column.pixel(x, y);
                ASSERT_TRUE(p == ink || p == qRgb(255, 255, 255)) << j << ": " << x << "," << y;
                inked += p == ink ? 1 : 0;
            }
        EXPECT_GT(inked, 20) << j;
    }
}
