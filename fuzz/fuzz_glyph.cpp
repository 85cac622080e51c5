// The glyph decoder and the red-variant builder on one image: any bytes give either no image
// or an opaque glyph of a sane size, and its red variants cover it pixel for pixel.
#include "FuzzCheck.h"

#include "compose/glyphs/GlyphSet.h"
#include "compose/tints/HolidayTint.h"

#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

// The holiday colour worked out here from the weights, not from the program's table.
QRgb expectedRed(QRgb colour)
{
    if ((colour & 0xFFFFFFu) == 0xFFFFFFu)
        return qRgb(255, 255, 255);
    const double sum = 0.257 * qRed(colour) + 0.504 * qGreen(colour) + 0.098 * qBlue(colour);
    const int luma = std::clamp(static_cast<int>(std::nearbyint(sum)) + 16, 16, 235);
    return qRgb(255, luma, luma);
}

void checkVariant(const clsPixel &bitmap, const QImage &image)
{
    FUZZ_CHECK(bitmap.hasMatrix());
    FUZZ_CHECK(bitmap.Width == image.width() - 1 && bitmap.Height == image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const QRgb *out = bitmap.row(y);
        for (int x = 0; x < image.width(); ++x)
            FUZZ_CHECK(out[x] == expectedRed(in[x]));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QImage image = decodeGlyphImage(bytes);
    if (image.isNull())
        return 0;
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    FUZZ_CHECK(image.width() >= 1 && image.width() <= kMaxGlyphSide);
    FUZZ_CHECK(image.height() >= 1 && image.height() <= kMaxGlyphSide);

    // The image as "0.gif" and "Пн.gif" of a size-check set: one digit, both weekend names.
    GlyphLoad images;
    images.digits.push_back(image);
    images.weekdays.push_back(image);
    images.complete = true;
    const SharedGlyphs red = buildGlyphSet(images, 1);
    FUZZ_CHECK(red != nullptr);
    FUZZ_CHECK(red->Tsifry.size() == 1 && red->DniNedeli.size() == 2);
    checkVariant(red->Tsifry[0], image);
    FUZZ_CHECK(red->DniNedeli[0].Width == red->Tsifry[0].Width);
    FUZZ_CHECK(red->DniNedeli[1].Height == red->Tsifry[0].Height);
    return 0;
}
