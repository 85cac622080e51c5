#include "TestGlyphs.h"

#include "common/ColorRef.h"

namespace vexilo::test {

clsPixel solidBitmap(QSize size, QRgb colour)
{
    clsPixel bitmap;
    bitmap.Start(size.width() - 1, size.height() - 1);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            (void)bitmap.Add(x, y, toColorRef(colour));
    return bitmap;
}

TestGlyphs::TestGlyphs(QSize digitSize, QSize weekdaySize)
{
    for (int d = 0; d < 10; ++d) {
        picChisla[static_cast<std::size_t>(d)] = QImage(digitSize, QImage::Format_RGB32);
        picChisla[static_cast<std::size_t>(d)].fill(digitColour(d));
        Tsifry.push_back(solidBitmap(digitSize, redDigitColour(d)));
    }
    for (int w = 0; w < 7; ++w) {
        picDniNedeli[static_cast<std::size_t>(w)] = QImage(weekdaySize, QImage::Format_RGB32);
        picDniNedeli[static_cast<std::size_t>(w)].fill(weekdayColour(w));
    }
    DniNedeli.push_back(solidBitmap(weekdaySize, redWeekendColour(0)));
    DniNedeli.push_back(solidBitmap(weekdaySize, redWeekendColour(1)));
}

} // namespace vexilo::test
