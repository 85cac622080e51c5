#include "GlyphPictures.h"

#include "compose/tints/GreyTint.h"
#include "compose/tints/PaleTint.h"

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

// The image of a tinted or title place among holders named as the set names them.
template <class Holders> const QImage *tintedOf(const Holders &holders, const GlyphPlace &place)
{
    const std::size_t i = place.index;
    const auto pick = [i](const auto &images) -> const QImage * {
        return i < images.size() ? &images[i] : nullptr;
    };
    switch (place.role) {
    case GlyphRole::MonthTitle:
        return pick(holders.monthTitles); // never tinted
    case GlyphRole::Weekday:
        switch (place.variant) {
        case GlyphVariant::Pale:
            return pick(holders.paleWeekdays);
        case GlyphVariant::PaleHoliday:
            return pick(holders.paleRedWeekdays);
        default:
            return nullptr;
        }
    case GlyphRole::Digit:
        switch (place.variant) {
        case GlyphVariant::Pale:
            return pick(holders.paleDigits);
        case GlyphVariant::PaleHoliday:
            return pick(holders.paleRedDigits);
        case GlyphVariant::Grey:
            return pick(holders.greyDigits);
        default:
            return nullptr;
        }
    }
    return nullptr;
}

} // namespace

HeldGlyph heldGlyph(const GlyphSet &glyphs, const GlyphPlace &place)
{
    static const GlyphInk unknown;
    HeldGlyph held{tintedOf(glyphs, place), &unknown};
    if (held.image == nullptr)
        return held;
    // A tint keeps white white and may turn near-white white, so the holder's ink covers the
    // tinted image's wherever the holder is the image's source.
    const std::size_t i = place.index;
    const QImage *holder = nullptr;
    const GlyphInk *ink = nullptr;
    if (place.title()) {
        holder = &glyphs.monthTitles[i];
        ink = &glyphs.ink.titles[i];
    } else if (place.weekday()) {
        const std::size_t source = isRedTint(place.variant) ? weekendSource(glyphs, i) : i;
        holder = &glyphs.picDniNedeli[source];
        ink = &glyphs.ink.weekdays[source];
    } else {
        holder = &glyphs.picChisla[i];
        ink = &glyphs.ink.digits[i];
    }
    if (holder->size() == held.image->size())
        held.ink = ink;
    return held;
}

const QImage &GlyphPictures::of(const GlyphPlace &place) const
{
    static const QImage none;
    if (!isDescribedGlyph(place)) {
        const QImage *image = tintedOf(*this, place);
        return image != nullptr ? *image : none;
    }
    const std::size_t i = place.index;
    if (place.weekday())
        return i < weekdays.size() ? (place.red() ? redWeekdays[i] : weekdays[i]) : none;
    return i < digits.size() ? (place.red() ? redDigits[i] : digits[i]) : none;
}

GlyphPictures transparentPictures(const GlyphSet &glyphs)
{
    GlyphPictures pictures;
    const bool vector = glyphs.kind == GlyphKind::Vector;
    const PaleTint pale;
    const GreyTint grey;
    // A tinted picture: the drawing in that tint, else the tint of the picture with its own
    // transparency, else the opaque tinted holder.
    const auto tinted = [&](const std::optional<SvgGlyph> &drawing, GlyphTint tint,
                            const QImage &alpha, const QImage &holder) -> QImage {
        if (vector && drawing)
            return drawing->render(glyphs.scale, tint);
        if (alpha.isNull())
            return holder;
        switch (tint) {
        case GlyphTint::Pale:
            return pale.paleImage(alpha);
        case GlyphTint::PaleHoliday:
            return pale.paleRedImage(alpha);
        case GlyphTint::Grey:
            return grey.greyImage(alpha);
        default:
            return alpha;
        }
    };
    for (std::size_t d = 0; d < pictures.digits.size(); ++d) {
        const QImage &alpha = glyphs.digitsAlpha[d];
        const std::optional<SvgGlyph> &drawing = glyphs.vectorDigits[d];
        pictures.digits[d] = alpha.isNull() ? glyphs.picChisla[d] : alpha;
        if (vector && drawing)
            pictures.redDigits[d] = drawing->render(glyphs.scale, true);
        else if (d < glyphs.Tsifry.size())
            pictures.redDigits[d] = withAlphaOf(imageOf(glyphs.Tsifry[d]), alpha);
        pictures.paleDigits[d] = tinted(drawing, GlyphTint::Pale, alpha, glyphs.paleDigits[d]);
        pictures.paleRedDigits[d] =
            tinted(drawing, GlyphTint::PaleHoliday, alpha, glyphs.paleRedDigits[d]);
        pictures.greyDigits[d] = tinted(drawing, GlyphTint::Grey, alpha, glyphs.greyDigits[d]);
    }
    for (std::size_t w = 0; w < pictures.weekdays.size(); ++w) {
        const QImage &alpha = glyphs.weekdaysAlpha[w];
        pictures.weekdays[w] = alpha.isNull() ? glyphs.picDniNedeli[w] : alpha;
        pictures.paleWeekdays[w] =
            tinted(glyphs.vectorWeekdays[w], GlyphTint::Pale, alpha, glyphs.paleWeekdays[w]);
    }
    for (std::size_t c = 0; c < 2; ++c) {
        const std::size_t source = weekendSource(glyphs, 5 + c);
        if (vector && glyphs.vectorWeekdays[source])
            pictures.redWeekdays[5 + c] = glyphs.vectorWeekdays[source]->render(glyphs.scale, true);
        else if (c < glyphs.DniNedeli.size())
            pictures.redWeekdays[5 + c] =
                withAlphaOf(imageOf(glyphs.DniNedeli[c]), glyphs.weekdaysAlpha[source]);
        pictures.paleRedWeekdays[5 + c] =
            tinted(glyphs.vectorWeekdays[source], GlyphTint::PaleHoliday,
                   glyphs.weekdaysAlpha[source], glyphs.paleRedWeekdays[5 + c]);
    }
    for (std::size_t m = 0; m < pictures.monthTitles.size(); ++m) {
        const QImage &alpha = glyphs.titlesAlpha[m];
        pictures.monthTitles[m] = alpha.isNull() ? glyphs.monthTitles[m] : alpha;
    }
    return pictures;
}

GlyphPictures opaquePictures(const GlyphSet &glyphs)
{
    GlyphPictures pictures;
    pictures.digits = glyphs.picChisla;
    pictures.weekdays = glyphs.picDniNedeli;
    pictures.paleDigits = glyphs.paleDigits;
    pictures.paleRedDigits = glyphs.paleRedDigits;
    pictures.greyDigits = glyphs.greyDigits;
    pictures.paleWeekdays = glyphs.paleWeekdays;
    pictures.paleRedWeekdays = glyphs.paleRedWeekdays;
    pictures.monthTitles = glyphs.monthTitles;
    for (std::size_t d = 0; d < glyphs.Tsifry.size() && d < pictures.redDigits.size(); ++d)
        pictures.redDigits[d] = imageOf(glyphs.Tsifry[d]);
    for (std::size_t c = 0; c < glyphs.DniNedeli.size() && c < 2; ++c)
        pictures.redWeekdays[5 + c] = imageOf(glyphs.DniNedeli[c]);
    return pictures;
}

const SvgGlyph *drawingOf(const GlyphSet &glyphs, const GlyphPlace &place)
{
    const std::size_t i = place.index;
    const auto pick = [](const auto &drawings, std::size_t at) -> const SvgGlyph * {
        return at < drawings.size() && drawings[at] ? &*drawings[at] : nullptr;
    };
    switch (place.role) {
    case GlyphRole::MonthTitle:
        return pick(glyphs.vectorTitles, i);
    case GlyphRole::Weekday:
        if (place.variant == GlyphVariant::Grey)
            return nullptr; // no grey names, as in pixels
        return pick(glyphs.vectorWeekdays, isRedTint(place.variant) ? weekendSource(glyphs, i) : i);
    case GlyphRole::Digit:
        return pick(glyphs.vectorDigits, i);
    }
    return nullptr;
}

} // namespace vexilo
