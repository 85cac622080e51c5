#include "compose/output/SheetOutput.h"

#include "common/BatchJournal.h"
#include "compose/maker/GlyphMaker.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(SheetOutput, PlacementKeepsThePhysicalSizeAndOnlyEverShrinks)
{
    const QRectF letter(0, 0, 8.5 * 72, 11 * 72); // points
    struct Case
    {
        QSize pixels;
        int dpi;
        QRectF expected;
    };
    const std::vector<Case> cases = {
        // 2400 px at 300 dpi are 8 inches, centred.
        {{2400, 1200}, 300, {0.25 * 72, 3.5 * 72, 8 * 72, 4 * 72}},
        // Too wide at 96 dpi: scaled down to the page width, aspect kept.
        {{1700, 850}, 96, {0, 11 * 36 - 8.5 * 18, 8.5 * 72, 8.5 * 36}},
        // Small sheets stay small.
        {{96, 48}, 96, {8.5 * 36 - 36, 11 * 36 - 18, 72, 36}},
    };
    for (const Case &c : cases) {
        const QRectF placed = placeOnPage(c.pixels, c.dpi, letter, 72);
        EXPECT_NEAR(placed.x(), c.expected.x(), 1e-6);
        EXPECT_NEAR(placed.y(), c.expected.y(), 1e-6);
        EXPECT_NEAR(placed.width(), c.expected.width(), 1e-6);
        EXPECT_NEAR(placed.height(), c.expected.height(), 1e-6);
    }
}

// The journal trusts only names of one save; every save the program makes must pass its rule.
TEST(SheetOutput, TheFilesOfEverySaveAreTheNamesTheJournalTrusts)
{
    std::vector<QStringList> saves = {
        madeGlyphFileNames(MadeGlyphFiles::Gif),
        madeGlyphFileNames(MadeGlyphFiles::Svg),
        {QStringLiteral("Год_стр1.png"), QStringLiteral("Год_стр2.png")},
        {QStringLiteral("Год_стр1_ряд1.bmp"), QStringLiteral("Год_стр2_ряд3.bmp")}};
    for (const OutputFormat format :
         {OutputFormat::Bmp, OutputFormat::Png, OutputFormat::Pdf, OutputFormat::Svg})
        for (const bool whole : {false, true})
            for (const qint32 rows : {1, 2, 3, 6, 12})
                for (const QString &chosen :
                     {QStringLiteral("календарь"), QStringLiteral("a.b_ряд1.bmp"),
                      QStringLiteral("год 2027_стр1")})
                    saves.push_back(outputFileNames(chosen, QStringLiteral("."), rows,
                                                    OutputOptions{format, whole}));
    for (const QStringList &names : saves)
        EXPECT_TRUE(batchjournal::isOneSavesTargets(names)) << names.join(u' ').toStdString();
}
