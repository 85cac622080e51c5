#include "compose/tints/GreyTint.h"
#include "compose/tints/HolidayTint.h"
#include "compose/tints/PaleTint.h"
#include "compose/tints/SvgTint.h"

#include "common/ColorRef.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(PaleGreyTint, KnownColoursGetTheirTints)
{
    struct Case
    {
        QRgb in, pale, paleRed, grey;
    };
    // pale: c + (6 (255 - c) + 5) / 10 per channel; pale red: that of the holiday red
    // (255, L, L); grey: (Y + 256) / 2 with Y = (299 R + 587 G + 114 B + 500) / 1000.
    const Case cases[] = {
        {qRgb(0, 0, 0), qRgb(153, 153, 153), qRgb(255, 159, 159), qRgb(128, 128, 128)},
        {qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {qRgb(255, 0, 0), qRgb(255, 153, 153), qRgb(255, 186, 186), qRgb(166, 166, 166)}, // L 82
        {qRgb(0, 255, 0), qRgb(153, 255, 153), qRgb(255, 211, 211), qRgb(203, 203, 203)},
        {qRgb(0, 0, 255), qRgb(153, 153, 255), qRgb(255, 169, 169), qRgb(142, 142, 142)},
        {qRgb(128, 128, 128), qRgb(204, 204, 204), qRgb(255, 203, 203), qRgb(192, 192, 192)},
        {qRgb(16, 32, 96), qRgb(159, 166, 191), qRgb(255, 171, 171), qRgb(145, 145, 145)},
        {qRgb(250, 250, 250), qRgb(253, 253, 253), qRgb(255, 245, 245), qRgb(253, 253, 253)},
    };
    const PaleTint pale;
    const GreyTint grey;
    const HolidayTint holiday;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.in);
        const QRgb p = pale.recolour(c.in);
        const QRgb pr = pale.recolourRed(c.in);
        const QRgb g = grey.recolour(c.in);
        EXPECT_EQ(p, c.pale);
        EXPECT_EQ(pr, c.paleRed);
        EXPECT_EQ(g, c.grey);

        EXPECT_TRUE(qRed(g) == qGreen(g) && qGreen(g) == qBlue(g));
        EXPECT_GE(qRed(p), qRed(c.in));
        EXPECT_GE(qGreen(p), qGreen(c.in));
        EXPECT_GE(qBlue(p), qBlue(c.in));
        const QRgb red = holiday.recolour(c.in);
        if ((c.in & 0xFFFFFFu) == 0xFFFFFFu)
            continue;
        EXPECT_EQ(qRed(pr), 255);
        EXPECT_GT(qRed(pr), qGreen(pr));
        EXPECT_EQ(qGreen(pr), qBlue(pr));
        EXPECT_GT(qGreen(pr), qGreen(red));
    }
    // Alpha in does not leak out: a tinted colour is opaque.
    EXPECT_EQ(pale.recolour(qRgba(0, 0, 0, 0)), qRgb(153, 153, 153));
    EXPECT_EQ(grey.recolour(qRgba(255, 255, 255, 7)), qRgb(255, 255, 255));
}

TEST(PaleGreyTint, WholeImagesKeepTheirCoverage)
{
    const PaleTint pale;
    const GreyTint grey;

    QImage opaque(2, 1, QImage::Format_RGB32);
    opaque.setPixel(0, 0, qRgb(0, 0, 0));
    opaque.setPixel(1, 0, qRgb(255, 255, 255));
    const clsPixel bitmap = pale.paleRedVariant(opaque);
    ASSERT_TRUE(bitmap.hasMatrix());
    EXPECT_EQ(bitmap.ListC(0, 0), 0x009F9FFFu); // 0x00BBGGRR
    EXPECT_EQ(bitmap.ListC(1, 0), kWhiteRef);
    EXPECT_EQ(pale.paleVariant(opaque).ListC(0, 0), 0x00999999u);
    EXPECT_EQ(grey.greyVariant(opaque).ListC(0, 0), 0x00808080u);
    const QImage greyOpaque = grey.greyImage(opaque);
    EXPECT_EQ(greyOpaque.format(), QImage::Format_RGB32);
    EXPECT_EQ(greyOpaque.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(opaque.pixel(0, 0), qRgb(0, 0, 0)); // the source is left alone

    // Premultiplied: clear, half-covered black, fully covered blue.
    QImage covered(3, 1, QImage::Format_ARGB32_Premultiplied);
    covered.setPixel(0, 0, 0);
    covered.setPixel(1, 0, qPremultiply(qRgba(0, 0, 0, 128)));
    covered.setPixel(2, 0, qRgb(0, 0, 255));
    const QImage paled = pale.paleImage(covered);
    EXPECT_EQ(paled.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(paled.pixel(0, 0), 0u);
    EXPECT_EQ(paled.pixel(1, 0), qPremultiply(qRgba(153, 153, 153, 128)));
    EXPECT_EQ(paled.pixel(2, 0), qRgb(153, 153, 255));
    EXPECT_EQ(grey.greyImage(covered).pixel(1, 0), qPremultiply(qRgba(128, 128, 128, 128)));
    EXPECT_EQ(pale.paleRedImage(covered).pixel(2, 0), qRgb(255, 169, 169));

    EXPECT_TRUE(pale.paleImage(QImage()).isNull());
    EXPECT_FALSE(grey.greyVariant(QImage()).hasMatrix());

    // The colour functions are what the SVG tint takes.
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="4" height="4">)"
                           R"(<rect width="4" height="4" fill="#000000"/></svg>)";
    const QByteArray paleSvg =
        tintSvgColours(svg, [&pale](QRgb colour) { return pale.recolour(colour); });
    const QByteArray greySvg =
        tintSvgColours(svg, [&grey](QRgb colour) { return grey.recolour(colour); });
    EXPECT_TRUE(paleSvg.contains("#999999")) << paleSvg.constData();
    EXPECT_TRUE(greySvg.contains("#808080")) << greySvg.constData();
}
