#pragma once

#include "compose/glyphs/GlyphSet.h"

#include <QImage>

#include <array>
#include <vector>

namespace vexilo::test {

// A synthetic glyph set drawn in memory: every digit a solid block of its own colour, every
// weekday name too, and red variants of their own colours, so a test can tell from one pixel
// which glyph landed where.
struct TestGlyphs
{
    explicit TestGlyphs(QSize digitSize = {10, 15}, QSize weekdaySize = {20, 15});

    static QRgb digitColour(int d) { return qRgb(10 + d, 100, 200); }
    static QRgb weekdayColour(int w) { return qRgb(50, 60 + w, 70); }
    static QRgb redDigitColour(int d) { return qRgb(255, 20 + d, 20 + d); }
    static QRgb redWeekendColour(int c) { return qRgb(255, 40 + c, 40 + c); }

    // The set as a load shares it.
    SharedGlyphs view(qint32 sizeCheck = 0) const
    {
        return shareGlyphs(picChisla, picDniNedeli, Tsifry, DniNedeli, sizeCheck);
    }

    std::array<QImage, 10> picChisla;
    std::array<QImage, 7> picDniNedeli;
    std::vector<clsPixel> Tsifry;
    std::vector<clsPixel> DniNedeli;
};

clsPixel solidBitmap(QSize size, QRgb colour);

} // namespace vexilo::test
