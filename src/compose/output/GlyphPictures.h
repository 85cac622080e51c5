#pragma once

#include "compose/glyphs/GlyphSet.h"
#include "compose/sheet/SheetPlan.h"

#include <QImage>

#include <array>

namespace vexilo {

// The glyphs as they go onto a transparent background: each with its own transparency
// (premultiplied), opaque where its file is, the red ones tinted as the red variants are, the
// pale and grey ones as their tints colour them, the titles never tinted.
struct GlyphPictures
{
    std::array<QImage, 10> digits;
    std::array<QImage, 10> redDigits;
    std::array<QImage, 7> weekdays;
    std::array<QImage, 7> redWeekdays;
    // Named as the set's tinted holders and titles, which they are drawn from.
    std::array<QImage, 10> paleDigits;
    std::array<QImage, 10> paleRedDigits;
    std::array<QImage, 10> greyDigits;
    std::array<QImage, 7> paleWeekdays;
    std::array<QImage, 7> paleRedWeekdays;
    std::array<QImage, 12> monthTitles;

    const QImage &of(const GlyphPlace &place) const;
};
GlyphPictures transparentPictures(const GlyphSet &glyphs);
// The same as the opaque copies a white canvas gets: the holders, the red variants, the
// tinted holders and the titles.
GlyphPictures opaquePictures(const GlyphSet &glyphs);

// Whether a place shows one of the described sheet's glyphs, a holder or a red variant, rather
// than a tinted holder or a title.
inline bool isDescribedGlyph(const GlyphPlace &place)
{
    return !place.title() &&
           (place.variant == GlyphVariant::Plain || place.variant == GlyphVariant::Holiday);
}

// A place beyond the described glyphs as the set holds it: the tinted holder or the title, and
// the ink an ink-only copy of it may use (empty when the holder's ink cannot stand for it).
// The image is null where the set has none, as for a grey weekday name, which no layout draws.
struct HeldGlyph
{
    const QImage *image = nullptr;
    const GlyphInk *ink = nullptr;
};
HeldGlyph heldGlyph(const GlyphSet &glyphs, const GlyphPlace &place);

// The drawing of a place's glyph in a vector set; null for a raster set, and where a raster
// set's copy would draw nothing.
const SvgGlyph *drawingOf(const GlyphSet &glyphs, const GlyphPlace &place);

} // namespace vexilo
