#include "holidays/MonthGrid.h"
#include "holidays/MonthGridPainter.h"
#include "platform/PictureBox.h"

#include <QDate>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace vexilo;

namespace {

const std::array<qint32, 13> kMonthLengths = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

Setka layoutOf(qint32 year, qint32 month)
{
    const YearCalendar calendar = yearCalendar(year, kMonthLengths);
    return monthLayout(calendar.PervyiDen[std::size_t(month)],
                       calendar.KolDney[std::size_t(month)]);
}

} // namespace

TEST(MonthGrid, TitlesNameTheZodiacAnimal)
{
    EXPECT_EQ(yearTitle(2013), QStringLiteral("2013 ГОД ЗМЕИ"));
    EXPECT_EQ(yearTitle(2024), QStringLiteral("2024 ГОД ДРАКОНА"));
    EXPECT_EQ(zodiacWord(2016), QStringLiteral("ОБЕЗЬЯНЫ"));
    EXPECT_EQ(zodiacWord(2017), QStringLiteral("ПЕТУХА"));
    // The O after "КР" is the Latin letter; the one after "К" is Cyrillic.
    EXPECT_EQ(zodiacWord(2023),
              QString::fromUtf8("КОТА / КР") + QChar(0x004F) + QString::fromUtf8("ЛИКА"));
    EXPECT_EQ(zodiacWord(2023).at(1), QChar(0x041E));
    EXPECT_EQ(yearTitle(-5), QStringLiteral("-5 ГОД "));
}

TEST(MonthGrid, CalendarTablesMatchTheRealCalendar)
{
    EXPECT_EQ(yearCalendar(2000, kMonthLengths).KolDney[2], 29);
    EXPECT_EQ(yearCalendar(1900, kMonthLengths).KolDney[2], 28);
    EXPECT_EQ(yearCalendar(2100, kMonthLengths).KolDney[2], 28);
    // Every month of four centuries against Qt's own calendar.
    for (qint32 year = 1800; year <= 2200; ++year) {
        const YearCalendar calendar = yearCalendar(year, kMonthLengths);
        for (qint32 m = 1; m <= 12; ++m) {
            const QDate first(year, m, 1);
            ASSERT_EQ(calendar.PervyiDen[std::size_t(m)], first.dayOfWeek() - 1) << year << m;
            ASSERT_EQ(calendar.KolDney[std::size_t(m)], first.daysInMonth()) << year << m;
        }
    }
    const YearCalendar early = yearCalendar(-7, kMonthLengths);
    for (qint32 m = 1; m <= 12; ++m)
        EXPECT_TRUE(early.PervyiDen[std::size_t(m)] >= 0 && early.PervyiDen[std::size_t(m)] <= 6);
}

TEST(MonthGrid, DaysRunDownTheWeekdaysAndAcrossTheWeeks)
{
    const Setka january2013 = layoutOf(2013, 1);
    EXPECT_EQ(dayInCell(january2013, 0, 0), 0);
    EXPECT_EQ(dayInCell(january2013, 0, 1), 1);
    EXPECT_EQ(dayInCell(january2013, 1, 0), 7);
    EXPECT_EQ(dayInCell(layoutOf(2024, 1), 0, 0), 1);

    const Setka march2015 = layoutOf(2015, 3);
    EXPECT_EQ(dayInCell(march2015, 0, 5), 0);
    EXPECT_EQ(dayInCell(march2015, 0, 6), 1);
    EXPECT_EQ(dayInCell(march2015, 5, 1), 31);
    EXPECT_EQ(dayInCell(march2015, 5, 2), 0);
    EXPECT_EQ(dayInCell(march2015, 6, 0), 0);
    EXPECT_EQ(dayInCell(march2015, -1, 1), 0);

    // Lengths no month has neither overrun nor invent days.
    EXPECT_EQ(monthLayout(0, 0), Setka{});
    const Setka capped = monthLayout(6, 1000);
    EXPECT_EQ(dayInCell(capped, 4, 6), 29);
    EXPECT_EQ(dayInCell(capped, 5, 1), 31);
    EXPECT_EQ(dayInCell(capped, 5, 2), 0);
}

TEST(MonthGrid, PointsMapToCellsByRoundingHalfToEven)
{
    EXPECT_EQ(cellIndex(44.5), 0); // 44
    EXPECT_EQ(cellIndex(45.5), 1); // 46
    EXPECT_EQ(cellIndex(89.5), 2); // 90
    EXPECT_EQ(cellIndex(269), 5);
    EXPECT_EQ(cellIndex(270), 6); // the last pixel column lies beyond the cells
    EXPECT_EQ(cellIndex(-44), 0); // truncation toward zero
    EXPECT_EQ(cellIndex(-45), -1);
    EXPECT_EQ(cellIndex(std::nan("")), -1);
    EXPECT_DOUBLE_EQ(dayTextLeft(2, 21), 102);
}

TEST(MonthGrid, ANewYearHasWeekendsAndTheFixedHolidays)
{
    const std::set<std::pair<int, int>> fixed = {{1, 1}, {1, 2},  {1, 3},  {1, 4}, {1, 5},
                                                 {1, 6}, {1, 7},  {2, 23}, {3, 8}, {5, 1},
                                                 {5, 9}, {6, 12}, {11, 4}};
    for (const qint32 year : {2013, 2024}) {
        clsPrazdniki entry;
        addDefaultHolidays(entry, year, kMonthLengths);
        int marked = 0;
        for (qint32 m = 1; m <= 12; ++m)
            for (qint32 d = 0; d <= 31; ++d) {
                const QDate date(year, m, d);
                const bool holiday =
                    date.isValid() && (date.dayOfWeek() >= 6 || fixed.count({m, d}) > 0);
                ASSERT_EQ(entry.List(m, d), holiday ? 1 : 0) << year << "-" << m << "-" << d;
                marked += entry.mark(m, d);
            }
        // 2013: 104 weekend days and the ten fixed dates not on one (23 February a Saturday);
        // 2024: 104 weekend days and eleven (6 and 7 January fall on the weekend).
        EXPECT_EQ(marked, year == 2013 ? 114 : 115);
    }
}

TEST(MonthGridPainter, LinesAreBlackAndARedrawnNumberCoversTheOldOne)
{
    QImage grid = blankPicture(kGridWidth, kGridHeight);
    drawGridLines(grid);
    EXPECT_EQ(grid.pixel(100, 45), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(270, 100), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(100, 315), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(44, 44), qRgb(255, 255, 255));

    // Red over black over red: every pixel inside the cell is white or red, nothing between.
    for (const quint32 colour : {0x000000FFu, 0u, 0x000000FFu})
        drawDayNumber(grid, 2, 3, 28, colour);
    int red = 0;
    for (int y = 136; y < 180; ++y)
        for (int x = 91; x < 135; ++x) {
            const QRgb p = grid.pixel(x, y);
            ASSERT_TRUE(p == qRgb(255, 255, 255) || p == qRgb(255, 0, 0)) << x << "," << y;
            red += p == qRgb(255, 0, 0) ? 1 : 0;
        }
    EXPECT_GT(red, 20);

    // The weekday column: Monday blue, Sunday red, 45 pixels apart.
    QImage column = blankPicture(kWeekdayColumnWidth, kGridHeight);
    drawWeekdayColumn(column);
    const QImage monday = column.copy(0, 0, 31, 45);
    const QImage sunday = column.copy(0, 270, 31, 45);
    int blue = 0;
    int redDays = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 31; ++x) {
            blue += monday.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
            redDays += sunday.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        }
    EXPECT_GT(blue, 20);
    EXPECT_GT(redDays, 20);
}

TEST(MonthGridPainter, AtRatioTwoTheGridHasTwiceThePixelsAndPaintsAsTheSamePicture)
{
    QImage plain = blankPicture(kGridWidth, kGridHeight);
    drawGridLines(plain);
    QImage sharp = blankPicture(kGridWidth, kGridHeight, 2.0);
    drawGridLines(sharp);
    ASSERT_EQ(sharp.size(), QSize(2 * kGridWidth, 2 * kGridHeight));
    EXPECT_EQ(sharp.deviceIndependentSize().toSize(), QSize(kGridWidth, kGridHeight));
    // The box shows the sharp picture at its logical size, the whole of it, with the same lines.
    PictureBox box;
    box.image() = sharp;
    box.resize(sharp.deviceIndependentSize().toSize());
    EXPECT_EQ(box.size(), QSize(kGridWidth, kGridHeight));
    EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), plain);

    // A number lies in the same cell at twice the size, not scaled up from the plain one.
    const auto inkBox = [](const QImage &image) {
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(255, 0, 0))
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    drawDayNumber(plain, 2, 3, 28, 0x000000FFu);
    drawDayNumber(sharp, 2, 3, 28, 0x000000FFu);
    const QRect small = inkBox(plain);
    const QRect large = inkBox(sharp);
    ASSERT_FALSE(small.isEmpty());
    EXPECT_TRUE(QRect(90, 135, 45, 45).contains(small));
    EXPECT_TRUE(QRect(180, 270, 90, 90).contains(large));
    EXPECT_NEAR(large.height(), 2 * small.height(), 3);
}
