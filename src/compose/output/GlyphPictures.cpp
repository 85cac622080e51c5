#include "GlyphPictures.h"

namespace vexilo {

namespace {

QImage imageOf(const clsPixel &bitmap)
{
    if (!bitmap.hasMatrix())
        return {};
    QImage image(bitmap.Width + 1, bitmap.Height + 1, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(bitmap.row(y), image.width(), reinterpret_cast<QRgb *>(image.scanLine(y)));
    return image;
}

// The colours of `opaque` under the transparency of `alpha` (same size), premultiplied.
QImage withAlphaOf(const QImage &opaque, const QImage &alpha)
{
    if (alpha.isNull() || opaque.isNull() || alpha.size() != opaque.size())
        return opaque;
    QImage out = opaque.convertToFormat(QImage::Format_ARGB32);
    const QImage mask = alpha.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *pixels = reinterpret_cast<QRgb *>(out.scanLine(y));
        const auto *source = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < out.width(); ++x)
            pixels[x] =
                qRgba(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]), qAlpha(source[x]));
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::size_t weekendSource(const GlyphSet &glyphs, std::size_t weekday)
{
    return isSizeCheck(glyphs.ProverkaRazmerov) ? 0 : weekday;
}

} // namespace

const QImage &GlyphPictures::of(const GlyphPlace &place) const
{
    static const QImage none;
    const std::size_t i = place.index;
    if (place.weekday())
        return i < weekdays.size() ? (place.red() ? redWeekdays[i] : weekdays[i]) : none;
    return i < digits.size() ? (place.red() ? redDigits[i] : digits[i]) : none;
}

GlyphPictures transparentPictures(const GlyphSet &glyphs)
{
    GlyphPictures pictures;
    const bool vector = glyphs.kind == GlyphKind::Vector;
    for (std::size_t d = 0; d < pictures.digits.size(); ++d) {
        const QImage &alpha = glyphs.digitsAlpha[d];
        pictures.digits[d] = alpha.isNull() ? glyphs.picChisla[d] : alpha;
        if (vector && glyphs.vectorDigits[d])
            pictures.redDigits[d] = glyphs.vectorDigits[d]->render(glyphs.scale, true);
        else if (d < glyphs.Tsifry.size())
            pictures.redDigits[d] = withAlphaOf(imageOf(glyphs.Tsifry[d]), alpha);
    }
    for (std::size_t w = 0; w < pictures.weekdays.size(); ++w) {
        const QImage &alpha = glyphs.weekdaysAlpha[w];
        pictures.weekdays[w] = alpha.isNull() ? glyphs.picDniNedeli[w] : alpha;
    }
    for (std::size_t c = 0; c < 2; ++c) {
        const std::size_t source = weekendSource(glyphs, 5 + c);
        if (vector && glyphs.vectorWeekdays[source])
            pictures.redWeekdays[5 + c] = glyphs.vectorWeekdays[source]->render(glyphs.scale, true);
        else if (c < glyphs.DniNedeli.size())
            pictures.redWeekdays[5 + c] =
                withAlphaOf(imageOf(glyphs.DniNedeli[c]), glyphs.weekdaysAlpha[source]);
    }
    return pictures;
}

GlyphPictures opaquePictures(const GlyphSet &glyphs)
{
    GlyphPictures pictures;
    pictures.digits = glyphs.picChisla;
    pictures.weekdays = glyphs.picDniNedeli;
    for (std::size_t d = 0; d < glyphs.Tsifry.size() && d < pictures.redDigits.size(); ++d)
        pictures.redDigits[d] = imageOf(glyphs.Tsifry[d]);
    for (std::size_t c = 0; c < glyphs.DniNedeli.size() && c < 2; ++c)
        pictures.redWeekdays[5 + c] = imageOf(glyphs.DniNedeli[c]);
    return pictures;
}

const SvgGlyph *drawingOf(const GlyphSet &glyphs, const GlyphPlace &place)
{
    const std::size_t i = place.index;
    if (!place.weekday())
        return i < glyphs.vectorDigits.size() && glyphs.vectorDigits[i] ? &*glyphs.vectorDigits[i]
                                                                        : nullptr;
    const std::size_t source = place.red() ? weekendSource(glyphs, i) : i;
    return source < glyphs.vectorWeekdays.size() && glyphs.vectorWeekdays[source]
               ? &*glyphs.vectorWeekdays[source]
               : nullptr;
}

} // namespace vexilo
