#include "compose/tints/clsPixel.h"

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

QImage filledCanvas(int width, int height, QRgb colour)
{
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(colour);
    return canvas;
}

} // namespace

TEST(clsPixel, BoundsAreInclusiveAndOutOfRangeStoresNothing)
{
    clsPixel bitmap;
    EXPECT_FALSE(bitmap.Add(0, 0, 1)); // before Start
    EXPECT_FALSE(bitmap.ListC(0, 0).has_value());
    bitmap.Start(19, 29);
    EXPECT_EQ(bitmap.Width, 19);
    EXPECT_EQ(bitmap.Height, 29);
    EXPECT_EQ(bitmap.ListC(19, 29), 0u);
    EXPECT_FALSE(bitmap.ListC(20, 0).has_value());
    EXPECT_FALSE(bitmap.Add(0, 30, 0x123456));
    ASSERT_TRUE(bitmap.Add(19, 29, 0x00123456));
    EXPECT_EQ(bitmap.ListC(19, 29), 0x00123456u);

    bitmap.Start(2, 3); // starting again empties the matrix
    EXPECT_EQ(bitmap.ListC(2, 3), 0u);
    EXPECT_FALSE(bitmap.ListC(19, 29).has_value());
}

TEST(clsPixel, OneByOneGlyphWritesExactlyOnePixel)
{
    clsPixel bitmap;
    bitmap.Start(0, 0);
    ASSERT_TRUE(bitmap.Add(0, 0, 0x000000FF)); // pure red as 0x00BBGGRR
    QImage canvas = filledCanvas(5, 5, qRgb(1, 2, 3));
    RisovatPixel(canvas, bitmap, 2, 3);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(canvas.pixel(x, y), (x == 2 && y == 3) ? qRgb(255, 0, 0) : qRgb(1, 2, 3))
                << x << "," << y;
}

TEST(clsPixel, DrawingIsClippedAtEveryEdgeAndWhiteStillCovers)
{
    clsPixel bitmap;
    bitmap.Start(9, 1);
    for (int x = 0; x <= 9; ++x) {
        ASSERT_TRUE(bitmap.Add(x, 0, x == 0 ? 0x00FFFFFF : static_cast<quint32>(x)));
        ASSERT_TRUE(bitmap.Add(x, 1, 0x00FFFFFF));
    }
    QImage canvas = filledCanvas(8, 4, qRgb(9, 9, 9));
    RisovatPixel(canvas, bitmap, -5, 0);
    // Columns 5..9 of the bitmap land on canvas columns 0..4; nothing else changes.
    for (int x = 0; x < 8; ++x) {
        const QRgb expected = x < 5 ? qRgb(x + 5, 0, 0) : qRgb(9, 9, 9);
        EXPECT_EQ(canvas.pixel(x, 0), expected) << x;
        EXPECT_EQ(canvas.pixel(x, 1), x < 5 ? qRgb(255, 255, 255) : qRgb(9, 9, 9)) << x;
    }
    RisovatPixel(canvas, bitmap, 6, 3); // only (6..7, 3) is on the canvas
    EXPECT_EQ(canvas.pixel(6, 3), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(7, 3), qRgb(1, 0, 0));
    RisovatPixel(canvas, bitmap, 2147483640, -2147483647); // far away: no effect, no crash
    RisovatPixel(canvas, bitmap, 8, 0);
    EXPECT_EQ(canvas.pixel(7, 0), qRgb(9, 9, 9));
}
