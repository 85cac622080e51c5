#include "compose/sheet/Prokrutka.h"
#include "compose/output/ImageFiles.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(Prokrutka, OnlyTheHorizontalBarForContentSlightlyWider)
{
    const ScrollPlan plan = planScrollBars(784, 390, 800, 300, 800);
    EXPECT_TRUE(plan.horizontal);
    EXPECT_FALSE(plan.vertical);
    EXPECT_EQ(plan.hWidth, 784);
    EXPECT_EQ(plan.hMax, 16);
    EXPECT_EQ(plan.hSmall, 392);
}

TEST(Prokrutka, ContentExactlyTheViewportSizeNeedsNoBar)
{
    const ScrollPlan plan = planScrollBars(500, 400, 500, 400, 500);
    EXPECT_FALSE(plan.horizontal);
    EXPECT_FALSE(plan.vertical);
}

TEST(Prokrutka, OneBarCanBringTheOther)
{
    // 10 narrower, 5 taller: the vertical bar's width makes the horizontal one needed.
    ScrollPlan plan = planScrollBars(500, 400, 490, 405, 490);
    EXPECT_TRUE(plan.vertical);
    EXPECT_TRUE(plan.horizontal);
    EXPECT_EQ(plan.hWidth, 483);
    EXPECT_EQ(plan.vHeight, 383);
    EXPECT_EQ(plan.vMax, 405 - 383);
    // 10 wider, 5 shorter: the horizontal bar's height makes the vertical one needed.
    plan = planScrollBars(500, 400, 510, 395, 510);
    EXPECT_TRUE(plan.horizontal);
    EXPECT_TRUE(plan.vertical);
    EXPECT_EQ(plan.hMax, 510 - 483);
}

TEST(Prokrutka, RangesBeyondSixteenBitsAreKept)
{
    const ScrollPlan plan = planScrollBars(700, 300, 32000, 3 * 40000 + 30000, 32000);
    EXPECT_EQ(plan.vMax, 150000 - 283);
    EXPECT_EQ(plan.vSmall, 283 / 2);
}

TEST(ImageFilesNames, ExtensionIsCutOnlyInTheLastComponent)
{
    const QString sep = QStringLiteral("\\");
    EXPECT_EQ(exportFileNames(QStringLiteral("C:\\Календари\\2013.bmp"), sep, 0),
              QStringList{QStringLiteral("C:\\Календари\\2013.bmp")});
    EXPECT_EQ(exportFileNames(QStringLiteral("C:\\Календари\\год"), sep, 2),
              (QStringList{QStringLiteral("C:\\Календари\\год_ряд1.bmp"),
                           QStringLiteral("C:\\Календари\\год_ряд2.bmp"),
                           QStringLiteral("C:\\Календари\\год_ряд3.bmp")}));
    EXPECT_EQ(exportFileNames(QStringLiteral("C:\\a.b\\calendar"), sep, 0),
              QStringList{QStringLiteral("C:\\a.b\\calendar.bmp")});
    EXPECT_EQ(exportFileNames(QStringLiteral("C:\\dir\\x.y.txt"), sep, 0),
              QStringList{QStringLiteral("C:\\dir\\x.y.bmp")});
    EXPECT_EQ(
        exportFileNames(QStringLiteral("/dir/2013.bmp"), QStringLiteral("/"), 1),
        (QStringList{QStringLiteral("/dir/2013_ряд1.bmp"), QStringLiteral("/dir/2013_ряд2.bmp")}));
    EXPECT_EQ(PoiskTochki(QString(), sep), 0);
    EXPECT_EQ(PoiskTochki(QStringLiteral("abc."), sep), 4);
}
