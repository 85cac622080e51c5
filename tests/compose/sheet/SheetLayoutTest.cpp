#include "compose/sheet/SheetLayout.h"
#include "compose/output/PixelPainter.h"
#include "compose/output/SheetRender.h"

#include "support/TestGlyphs.h"

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TestGlyphs;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

SheetGeometry geometryOf(const std::variant<SheetGeometry, SheetError> &result)
{
    EXPECT_TRUE(std::holds_alternative<SheetGeometry>(result));
    return std::get<SheetGeometry>(result);
}

QImage whiteCanvas(const SheetGeometry &g)
{
    QImage canvas(g.canvasWidth, g.canvasHeight, QImage::Format_RGB32);
    canvas.fill(kWhite);
    return canvas;
}

// Draws one canvas of a year (or, with month > 0, a month sheet) with the synthetic glyphs.
struct DrawnSheet
{
    DrawnSheet(qint32 theYear, const Spacings &spacings, int perRowIndex, qint32 theMonth = 0,
               qint32 theSizeCheck = 0)
        : days(monthLengthsOf(theYear)),
          geometry(geometryOf(theMonth > 0 ? monthGeometry({10, 15}, 20, spacings)
                                           : yearGeometry({10, 15}, 20, spacings, perRowIndex))),
          sizeCheck(theSizeCheck), month(theMonth), year(theYear)
    {}

    QImage draw(qint32 k = 0)
    {
        QImage canvas = whiteCanvas(geometry);
        const SharedGlyphs set = glyphs.view(sizeCheck);
        const auto first = firstWeekdays(year, days);
        const PlanDays planDays{holidays, chisla, days, first, isSizeCheck(sizeCheck)};
        const SheetPlan plan =
            month > 0 ? monthPlan(month, geometry, planDays) : yearPlan(geometry, planDays);
        paintCanvas(canvas, plan.pages.front().canvases.at(static_cast<std::size_t>(k)), *set);
        return canvas;
    }

    TestGlyphs glyphs;
    clsPrazdniki holidays;
    std::array<qint32, 32> chisla = standardDayNumbers();
    std::array<qint32, 13> days;
    SheetGeometry geometry;
    qint32 sizeCheck;
    qint32 month;
    qint32 year;
};

} // namespace

TEST(YearSheet, WorkedExampleGeometryAndCaption)
{
    const SheetGeometry g = geometryOf(yearGeometry({10, 15}, 20, Spacings{}, 1));
    EXPECT_EQ(g.rowPitch, 20);
    EXPECT_EQ(g.leftOffset, 40);
    EXPECT_EQ(g.columnStep, 30);
    EXPECT_EQ(g.monthWidth, 188);
    EXPECT_EQ(g.canvasHeight, 135);
    EXPECT_EQ(g.ShagRisunkov, 155);
    EXPECT_EQ(g.rightColumn, 634);
    EXPECT_EQ(g.canvasWidth, 654);
    EXPECT_EQ(g.KolRisunkov, 3);
    EXPECT_EQ(g.totalHeight, 600);
    EXPECT_EQ(sizeCaption(g), QStringLiteral(" - Размер: 655x600"));

    const std::array<qint32, 4> canvases = {6, 4, 3, 2};
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(geometryOf(yearGeometry({10, 15}, 20, Spacings{}, index)).KolRisunkov + 1,
                  canvases[static_cast<std::size_t>(index)]);
}

TEST(YearSheet, WorkedExampleDaysLandOnTheirPixels)
{
    DrawnSheet sheet(2013, Spacings{}, 1);
    const QImage canvas = sheet.draw(0);
    // 1 January 2013, a Tuesday: only the units place, at (53, 20); the tens place is white.
    EXPECT_EQ(canvas.pixel(53, 20), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(62, 34), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(40, 20), kWhite);
    EXPECT_EQ(canvas.pixel(49, 34), kWhite);
    // 7 January, a Monday, opens the second week column.
    EXPECT_EQ(canvas.pixel(70 + 13, 0), TestGlyphs::digitColour(7));
    // 10 January: "1" at (70, 60) and "0" at (83, 60), the digit gap white between them.
    EXPECT_EQ(canvas.pixel(70, 60), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(83, 60), TestGlyphs::digitColour(0));
    EXPECT_EQ(canvas.pixel(81, 60), kWhite);
    // 1 February, a Friday, starts the second month at x = 228; 4 February at x = 261.
    EXPECT_EQ(canvas.pixel(228 + 13, 80), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(261 + 13, 0), TestGlyphs::digitColour(4));
    EXPECT_EQ(canvas.pixel(228 + 12, 80), kWhite);
    // Weekday names left and right; Сб and Вс from the red bitmaps.
    EXPECT_EQ(canvas.pixel(0, 0), TestGlyphs::weekdayColour(0));
    EXPECT_EQ(canvas.pixel(634, 80), TestGlyphs::weekdayColour(4));
    EXPECT_EQ(canvas.pixel(653, 100), TestGlyphs::redWeekendColour(0));
    EXPECT_EQ(canvas.pixel(0, 134), TestGlyphs::redWeekendColour(1));
}

TEST(YearSheet, HolidaysAreDrawnFromTheRedDigitsAndOnlyWhereMarked)
{
    DrawnSheet sheet(2013, Spacings{}, 1);
    ASSERT_TRUE(sheet.holidays.AddPrazdnik(1, 1));
    ASSERT_TRUE(sheet.holidays.AddPrazdnik(1, 10));
    const QImage canvas = sheet.draw(0);
    EXPECT_EQ(canvas.pixel(53, 20), TestGlyphs::redDigitColour(1));
    EXPECT_EQ(canvas.pixel(43, 20), kWhite); // a one-digit holiday keeps its tens place white
    EXPECT_EQ(canvas.pixel(70, 60), TestGlyphs::redDigitColour(1));
    EXPECT_EQ(canvas.pixel(83, 60), TestGlyphs::redDigitColour(0));
    // 5 January is a Saturday but not marked: drawn in its own colour.
    EXPECT_EQ(canvas.pixel(53, 100), TestGlyphs::digitColour(5));
}

TEST(YearSheet, LaterMonthColumnsAddTheDigitGapBetweenWeeks)
{
    Spacings spacings;
    spacings.datesX = 10;
    spacings.digitsX = 5;
    DrawnSheet sheet(2013, spacings, 1);
    EXPECT_EQ(sheet.geometry.monthWidth, 6 * (2 * 10 + 15) - 10);
    const QImage canvas = sheet.draw(0);
    // January (first column): week columns 2 x 10 + 10 apart; 7 January at 40 + 30.
    EXPECT_EQ(canvas.pixel(40 + 30 + 15, 0), TestGlyphs::digitColour(7));
    // February (second column) starts at 40 + 200 = 240; 4 February 35 further.
    EXPECT_EQ(canvas.pixel(240 + 15, 80), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(240 + 35 + 15, 0), TestGlyphs::digitColour(4));
}

TEST(YearSheet, AprilAfterASundayEndStartsAtItsBlockOnTheTopRow)
{
    // Two in a row: April 2013 is canvas 1, month column 1; 1 April is a Monday.
    DrawnSheet sheet(2013, Spacings{}, 0);
    const QImage canvas = sheet.draw(1);
    const qint32 x0 = sheet.geometry.leftOffset + sheet.geometry.monthWidth;
    EXPECT_EQ(canvas.pixel(x0 + 13, 0), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(x0 + 13 - 1, 0), kWhite);
    // 31 March, a Sunday, ends March in its fifth week column, bottom row.
    EXPECT_EQ(canvas.pixel(40 + 4 * 30, 120), TestGlyphs::digitColour(3));
}

TEST(YearSheet, SizeCheckDrawsOnlyZerosAndMonday)
{
    DrawnSheet sheet(2013, Spacings{}, 1, 0, 1);
    sheet.glyphs.Tsifry.resize(1);
    sheet.glyphs.DniNedeli = {test::solidBitmap({20, 15}, TestGlyphs::redWeekendColour(0)),
                              test::solidBitmap({20, 15}, TestGlyphs::redWeekendColour(0))};
    const QImage canvas = sheet.draw(0);
    EXPECT_EQ(canvas.pixel(53, 20), TestGlyphs::digitColour(0));
    EXPECT_EQ(canvas.pixel(70, 60), TestGlyphs::digitColour(0));
    EXPECT_EQ(canvas.pixel(0, 80), TestGlyphs::weekdayColour(0));
    EXPECT_EQ(canvas.pixel(0, 120), TestGlyphs::redWeekendColour(0));
}

TEST(MonthSheet, WorkedExampleMarch2013)
{
    DrawnSheet sheet(2013, Spacings{}, 0, 3);
    EXPECT_EQ(sheet.geometry.canvasWidth, 228);
    EXPECT_EQ(sheet.geometry.canvasHeight, 135);
    EXPECT_EQ(sheet.geometry.KolRisunkov, 0);
    EXPECT_EQ(sizeCaption(sheet.geometry), QStringLiteral(" - Размер: 229x135"));
    const QImage canvas = sheet.draw();
    EXPECT_EQ(canvas.pixel(53, 80), TestGlyphs::digitColour(1));     // 1 March, a Friday
    EXPECT_EQ(canvas.pixel(70 + 13, 0), TestGlyphs::digitColour(4)); // 4 March, a Monday
    EXPECT_EQ(canvas.pixel(160, 120), TestGlyphs::digitColour(3));   // 31 March
    EXPECT_EQ(canvas.pixel(173, 120), TestGlyphs::digitColour(1));
    EXPECT_EQ(canvas.pixel(0, 120), TestGlyphs::redWeekendColour(1));
    EXPECT_EQ(canvas.pixel(227, 0), kWhite); // no right weekday column
}

TEST(MonthSheet, FebruaryLengthFollowsTheYear)
{
    DrawnSheet leap(2012, Spacings{}, 0, 2);
    QImage canvas = leap.draw();
    // 1 February 2012 is a Wednesday; the 29th is a Wednesday four columns later.
    EXPECT_EQ(canvas.pixel(40 + 4 * 30, 40), TestGlyphs::digitColour(2));
    EXPECT_EQ(canvas.pixel(40 + 4 * 30 + 13, 40), TestGlyphs::digitColour(9));

    DrawnSheet common(2013, Spacings{}, 0, 2);
    canvas = common.draw();
    // 28 February 2013 is a Thursday in the fifth column; no 29th follows on the Friday.
    EXPECT_EQ(canvas.pixel(40 + 4 * 30 + 13, 60), TestGlyphs::digitColour(8));
    EXPECT_EQ(canvas.pixel(40 + 4 * 30 + 13, 80), kWhite);
}

TEST(MonthSheet, ASixColumnMonthEndsFiveDigitGapsBeforeTheEdge)
{
    // March 2015 starts on a Sunday and has 31 days: six week columns.
    Spacings spacings;
    spacings.digitsX = 4;
    DrawnSheet sheet(2015, spacings, 0, 3);
    const QImage canvas = sheet.draw();
    const qint32 unitsRight = 40 + 5 * 30 + 10 + 4 + 10; // right edge of the 30th's units digit
    EXPECT_EQ(sheet.geometry.canvasWidth - unitsRight, 5 * 4);
    EXPECT_EQ(canvas.pixel(unitsRight - 1, 0), TestGlyphs::digitColour(0)); // 30 March
    EXPECT_EQ(canvas.pixel(unitsRight, 0), kWhite);
}

TEST(SheetGeometry, AbsurdOrEmptySizesAreRefusedInsteadOfAllocated)
{
    Spacings huge;
    huge.datesX = 2147483647;
    EXPECT_EQ(std::get<SheetError>(yearGeometry({10, 15}, 20, huge, 1)), SheetError::TooLarge);
    Spacings tall;
    tall.datesY = 40000;
    EXPECT_EQ(std::get<SheetError>(monthGeometry({10, 15}, 20, tall)), SheetError::TooLarge);
    Spacings infinite;
    infinite.monthsY = std::numeric_limits<double>::infinity();
    EXPECT_EQ(std::get<SheetError>(yearGeometry({10, 15}, 20, infinite, 0)), SheetError::TooLarge);
    // Six canvases of 24676 x 1905 pixels would take 1.05 GiB.
    Spacings wide;
    wide.datesY = 300;
    wide.datesX = 2700;
    EXPECT_EQ(std::get<SheetError>(yearGeometry({10, 15}, 20, wide, 0)), SheetError::TooLarge);
    Spacings negative;
    negative.datesY = -30;
    EXPECT_EQ(std::get<SheetError>(monthGeometry({10, 15}, 20, negative)), SheetError::Empty);
    // Empty boxes count as 0 and still draw.
    EXPECT_TRUE(std::holds_alternative<SheetGeometry>(
        yearGeometry({10, 15}, 20, Spacings{0, 0, 0, 0, 0}, 3)));
}
