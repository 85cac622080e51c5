#include "compose/glyphs/GlyphInk.h"
#include "compose/output/PixelPainter.h"
#include "compose/output/SheetOutput.h"
#include "compose/output/SheetRender.h"

#include "support/TestGlyphs.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TestGlyphs;

namespace {

// The synthetic glyphs with white margins and a white hole, so copying only their ink differs
// from an opaque copy wherever glyphs overlap.
TestGlyphs glyphsWithWhite(QSize digit = {10, 15}, QSize weekday = {20, 15})
{
    TestGlyphs glyphs(digit, weekday);
    const auto punch = [](QImage &image) {
        QPainter painter(&image);
        painter.fillRect(0, 0, image.width(), 2, Qt::white);
        painter.fillRect(0, 0, 2, image.height(), Qt::white);
        // White at the right in the upper half only: below, ink reaches the last column and
        // the last row, where a scan that stops one short would lose it.
        painter.fillRect(image.width() - 3, 0, 3, image.height() / 2, Qt::white);
        painter.fillRect(image.width() / 2, image.height() / 2, 2, 3, Qt::white);
    };
    for (QImage &image : glyphs.picChisla)
        punch(image);
    for (QImage &image : glyphs.picDniNedeli)
        punch(image);
    return glyphs;
}

} // namespace

TEST(GlyphInk, CopyingOnlyInkGivesTheOpaqueCopysPixelsWhereverGlyphsOverlap)
{
    const TestGlyphs glyphs = glyphsWithWhite();
    clsPrazdniki holidays;
    for (qint32 day : {1, 2, 7, 12, 20, 31})
        ASSERT_TRUE(holidays.AddPrazdnik(day % 12 + 1, day));

    struct Case
    {
        Spacings spacings;
        qint32 month;
        int perRow;
    };
    // Ordinary sheets, and spacings that pile days, rows, months and names onto each other.
    const std::vector<Case> cases = {
        {Spacings{}, 0, 2},
        {{-15, 5, 20, 20, 3}, 0, 1},
        {{10, -9, 20, 20, 3}, 0, 3},
        {{10, 5, -40, 20, -12}, 0, 0},
        {{-12, -14, 20, -60, -9}, 0, 2},
        {{-12, 5, -15, 20, -8}, 3, 0},
        {Spacings{}, 2, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        auto planned = Sheet::plan(
            {glyphs.view(), holidays, 2013, c.month, c.perRow, c.spacings, standardDayNumbers()});
        ASSERT_TRUE(std::holds_alternative<Sheet>(planned)) << i;
        const Sheet &sheet = std::get<Sheet>(planned);
        const SharedGlyphs set = glyphs.view();
        const auto &canvases = sheet.sheetPlan().pages.front().canvases;
        for (qint32 k = 0; k < sheet.canvasCount(); ++k) {
            QImage expected(sheet.canvasSize(), QImage::Format_RGB32);
            expected.fill(Qt::white);
            paintCanvas(expected, canvases.at(static_cast<std::size_t>(k)), *set, 0, false);
            EXPECT_EQ(sheet.canvas(k), expected) << "case " << i << " canvas " << k;
        }
    }
}

TEST(GlyphInk, LargeCanvasesDrawnInTwoHalvesOnTwoCoresMatchOneThread)
{
    // Big enough for the two-thread path; overlapping rows make the halves meet in glyphs.
    const TestGlyphs glyphs = glyphsWithWhite({60, 200}, {120, 200});
    clsPrazdniki holidays;
    for (qint32 day : {3, 14, 15, 28})
        ASSERT_TRUE(holidays.AddPrazdnik(day % 12 + 1, day));
    for (const Spacings &spacings : {Spacings{}, Spacings{-20, -40, 20, 20, -8}}) {
        auto planned = Sheet::plan({glyphs.view(), holidays, 2013, 0, 3, spacings});
        ASSERT_TRUE(std::holds_alternative<Sheet>(planned));
        const Sheet &sheet = std::get<Sheet>(planned);
        ASSERT_GE(qint64(sheet.canvasSize().width()) * sheet.canvasSize().height(), 1 << 22);
        for (qint32 k = 0; k < sheet.canvasCount(); k += sheet.canvasCount() - 1) {
            QImage halves(sheet.canvasSize(), QImage::Format_RGB32);
            halves.fill(Qt::black);
            drawCanvasInParallel(sheet, halves, k);
            EXPECT_EQ(halves, sheet.canvas(k)) << "canvas " << k;
        }
    }
}
