// Where a sheet goes on paper: inside the margins, shrunk but never enlarged, centred, the page
// turned to the sheet.
#include "compose/output/PagePlacement.h"

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

TEST(PagePlacement, MarginsMustLeaveRoomOnThePaperWhicheverWayItIsTurned)
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
}
