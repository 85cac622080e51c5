// Where a sheet goes on paper: inside the margins, shrunk but never enlarged, centred, the page
// turned to the sheet.
#include "compose/PagePlacement.h"

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

void expectRect(const QRectF &actual, const QRectF &expected, const char *what)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-6) << what;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-6) << what;
    EXPECT_NEAR(actual.width(), expected.width(), 1e-6) << what;
    EXPECT_NEAR(actual.height(), expected.height(), 1e-6) << what;
}

} // namespace

TEST(PagePlacement, TheSheetStaysInsideTheMarginsShrunkNeverEnlargedAndCentred)
{
    const QSizeF letter(612, 792); // points
    const QMarginsF inch(72, 72, 72, 72);
    struct Case
    {
        const char *what;
        QSize pixels;
        int dpi;
        QMarginsF margins;
        std::optional<QRectF> expected;
        bool shrunk;
    };
    const std::vector<Case> cases = {
        {"small stays its size, centred", {96, 48}, 96, inch, QRectF(270, 378, 72, 36), false},
        // 1700 × 850 px at 96 dpi are 1275 × 637.5 pt; 468 pt lie between the margins.
        {"too wide fits the width", {1700, 850}, 96, inch, QRectF(72, 279, 468, 234), true},
        {"too tall fits the height", {850, 1700}, 96, inch, QRectF(144, 72, 324, 648), true},
        // Exactly the room between the margins: not shrunk.
        {"exactly the room", {468, 648}, 72, inch, QRectF(72, 72, 468, 648), false},
        {"uneven margins centre between them",
         {72, 72},
         72,
         QMarginsF(100, 0, 0, 200),
         QRectF(320, 260, 72, 72),
         false},
        {"no margins: the whole paper", {1224, 792}, 144, {}, QRectF(0, 198, 612, 396), false},
        {"margins meeting leave no room",
         {10, 10},
         72,
         QMarginsF(306, 0, 306, 0),
         std::nullopt,
         false},
        {"margins crossing leave no room",
         {10, 10},
         72,
         QMarginsF(0, 400, 0, 400),
         std::nullopt,
         false},
    };
    for (const Case &c : cases) {
        const std::optional<SheetPlacement> placed = placeSheet(c.pixels, c.dpi, letter, c.margins);
        ASSERT_EQ(placed.has_value(), c.expected.has_value()) << c.what;
        if (!placed)
            continue;
        expectRect(placed->sheet, *c.expected, c.what);
        EXPECT_EQ(placed->shrunk, c.shrunk) << c.what;
    }
}

TEST(PagePlacement, TheAutomaticPageTurnsToTheSheetAndAChosenOneStays)
{
    struct Case
    {
        QSize pixels;
        PageOrientation choice;
        QPageLayout::Orientation expected;
        QSize pagePoints; // A4 as the PDF's page box has it
    };
    const std::vector<Case> cases = {
        {{300, 200}, PageOrientation::Automatic, QPageLayout::Landscape, {842, 595}},
        {{200, 300}, PageOrientation::Automatic, QPageLayout::Portrait, {595, 842}},
        {{300, 300}, PageOrientation::Automatic, QPageLayout::Portrait, {595, 842}},
        {{300, 200}, PageOrientation::Portrait, QPageLayout::Portrait, {595, 842}},
        {{200, 300}, PageOrientation::Landscape, QPageLayout::Landscape, {842, 595}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pageOrientation(c.pixels, c.choice), c.expected);
        OutputOptions options;
        options.orientation = c.choice;
        const std::optional<SheetPage> page = sheetPage(c.pixels, options);
        ASSERT_TRUE(page.has_value());
        EXPECT_EQ(page->layout.orientation(), c.expected);
        EXPECT_EQ(page->layout.fullRectPoints().size(), c.pagePoints);
        // The painter has the whole page; the 10 mm lie around the sheet.
        EXPECT_EQ(page->layout.margins(), QMarginsF());
        const QRectF room = QRectF(QPointF(0, 0), QSizeF(c.pagePoints))
                                .marginsRemoved(marginPoints(kDefaultMarginMm));
        EXPECT_TRUE(room.contains(page->placement.sheet));
        EXPECT_NEAR(page->placement.sheet.center().x(), c.pagePoints.width() / 2.0, 1e-6);
        EXPECT_NEAR(page->placement.sheet.center().y(), c.pagePoints.height() / 2.0, 1e-6);
    }
}

TEST(PagePlacement, MarginsMustLeaveRoomOnThePaperAndSaySoWhenTheyDoNot)
{
    struct Case
    {
        int marginMm;
        QPageSize::PageSizeId paper;
        bool room;
    };
    // A5 is 148 mm wide, Letter 215.9 mm, whichever way it is turned.
    const std::vector<Case> cases = {
        {73, QPageSize::A5, true},  {75, QPageSize::A5, false},     {100, QPageSize::A5, false},
        {100, QPageSize::A4, true}, {107, QPageSize::Letter, true}, {108, QPageSize::Letter, false},
        {0, QPageSize::A5, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(marginsLeaveRoom(c.marginMm, c.paper), c.room) << c.marginMm;
    EXPECT_EQ(noRoomReason(75, QPageSize::A5),
              QStringLiteral("поля 75 мм не оставляют места на бумаге A5 (148 × 210 мм)"));
    EXPECT_EQ(noRoomReason(100, QPageSize::Legal),
              QStringLiteral("поля 100 мм не оставляют места на бумаге Legal (216 × 356 мм)"));
}

TEST(PagePlacement, ThePrintedSizeIsTheSheetsPhysicalSizeAndWhatItIsShrunkTo)
{
    struct Case
    {
        OutputFormat format;
        PageOrientation orientation;
        QPageSize::PageSizeId paper;
        int marginMm;
        int dpi;
        QString expected;
    };
    // 1080 × 760 px at 100 dpi are 27.43 × 19.30 cm; A4 portrait leaves 19.0 cm across. The page
    // is 595 × 842 pt, as the PDF has it.
    const std::vector<Case> cases = {
        {OutputFormat::Png, PageOrientation::Portrait, QPageSize::A4, 10, 100,
         QStringLiteral("При печати: 27,4 × 19,3 см")},
        // Turned, the page leaves 19.0 cm of height between the margins.
        {OutputFormat::Pdf, PageOrientation::Automatic, QPageSize::A4, 10, 100,
         QStringLiteral("При печати: 27,4 × 19,3 см — больше страницы, уменьшен до 27,0 × 19,0 "
                        "см")},
        {OutputFormat::Pdf, PageOrientation::Portrait, QPageSize::A4, 10, 100,
         QStringLiteral("При печати: 27,4 × 19,3 см — больше страницы, уменьшен до 19,0 × 13,4 "
                        "см")},
        {OutputFormat::Pdf, PageOrientation::Automatic, QPageSize::A4, 20, 100,
         QStringLiteral("При печати: 27,4 × 19,3 см — больше страницы, уменьшен до 24,1 × 17,0 "
                        "см")},
        {OutputFormat::Pdf, PageOrientation::Automatic, QPageSize::A4, 10, 300,
         QStringLiteral("При печати: 9,1 × 6,4 см")},
        // Thousands without a separator: 1080 px at 1 dpi.
        {OutputFormat::Png, PageOrientation::Automatic, QPageSize::A4, 10, 1,
         QStringLiteral("При печати: 2743,2 × 1930,4 см")},
        {OutputFormat::Pdf, PageOrientation::Automatic, QPageSize::A5, 75, 100,
         QStringLiteral("Поля 75 мм не оставляют места на бумаге A5 (148 × 210 мм).")},
    };
    for (const Case &c : cases) {
        OutputOptions options;
        options.format = c.format;
        options.orientation = c.orientation;
        options.paper = c.paper;
        options.marginMm = c.marginMm;
        options.dpi = c.dpi;
        EXPECT_EQ(printedSizeText({1080, 760}, options).toStdString(), c.expected.toStdString());
    }
}
