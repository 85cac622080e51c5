#include "compose/tints/HolidayTint.h"

#include "common/ColorRef.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexilo;

TEST(HolidayTint, OgranichitClampsToTheStudioRange)
{
    EXPECT_EQ(Ogranichit(16, 235, 15), 16);
    EXPECT_EQ(Ogranichit(16, 235, 16), 16);
    EXPECT_EQ(Ogranichit(16, 235, 100), 100);
    EXPECT_EQ(Ogranichit(16, 235, 235), 235);
    EXPECT_EQ(Ogranichit(16, 235, 236), 235);
    EXPECT_EQ(Ogranichit(16, 235, std::numeric_limits<qint32>::min()), 16);
    EXPECT_EQ(Ogranichit(16, 235, std::numeric_limits<qint32>::max()), 235);
}

TEST(HolidayTint, KnownColoursGetTheirHolidayRed)
{
    const HolidayTint tint;
    EXPECT_EQ(tint.recolour(qRgb(0, 0, 0)), qRgb(255, 16, 16));
    EXPECT_EQ(tint.recolour(qRgb(128, 128, 128)), qRgb(255, 126, 126)); // 109.952
    EXPECT_EQ(tint.recolour(qRgb(255, 255, 254)), qRgb(255, 235, 235)); // 218.947
    EXPECT_EQ(tint.recolour(qRgb(255, 255, 255)), qRgb(255, 255, 255));
    EXPECT_EQ(tint.recolour(qRgb(255, 0, 0)), qRgb(255, 82, 82));   // 65.535
    EXPECT_EQ(tint.recolour(qRgb(0, 255, 0)), qRgb(255, 145, 145)); // 128.52
    EXPECT_EQ(tint.recolour(qRgb(0, 0, 255)), qRgb(255, 41, 41));   // 24.99
    // Sums that are exactly halves go to the even neighbour.
    EXPECT_EQ(tint.recolour(qRgb(4, 118, 0)), qRgb(255, 76, 76));  // 60.5 -> 60
    EXPECT_EQ(tint.recolour(qRgb(12, 104, 0)), qRgb(255, 72, 72)); // 55.5 -> 56
    EXPECT_EQ(tint.recolour(qRgb(20, 90, 0)), qRgb(255, 66, 66));  // 50.5 -> 50
}

TEST(HolidayTint, RedVariantCoversTheWholeImageAndKeepsWhite)
{
    const HolidayTint tint;
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(2, 1, qRgb(128, 128, 128));
    image.setPixel(1, 1, qRgb(0, 0, 0));
    const clsPixel bitmap = tint.redVariant(image);
    ASSERT_TRUE(bitmap.hasMatrix());
    EXPECT_EQ(bitmap.Width, 2);
    EXPECT_EQ(bitmap.Height, 1);
    // Colour references are 0x00BBGGRR.
    EXPECT_EQ(bitmap.ListC(0, 0), 0x001010FFu);
    EXPECT_EQ(bitmap.ListC(1, 0), kWhiteRef);
    EXPECT_EQ(bitmap.ListC(2, 0), kWhiteRef);
    EXPECT_EQ(bitmap.ListC(0, 1), kWhiteRef);
    EXPECT_EQ(bitmap.ListC(1, 1), 0x001010FFu);
    EXPECT_EQ(bitmap.ListC(2, 1), 0x007E7EFFu);

    QImage allWhite(4, 4, QImage::Format_RGB32);
    allWhite.fill(qRgb(255, 255, 255));
    const clsPixel white = tint.redVariant(allWhite);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(white.ListC(x, y), kWhiteRef);

    EXPECT_FALSE(tint.redVariant(QImage()).hasMatrix());
}
