#pragma once

#include "compose/glyphs/GlyphSet.h"
#include "compose/sheet/SheetPlan.h"

#include <QImage>

#include <array>

namespace vexilo {

// The glyphs as they go onto a transparent background: each with its own transparency
// (premultiplied), opaque where its file is, the red ones tinted as the red variants are.
struct GlyphPictures
{
    std::array<QImage, 10> digits;
    std::array<QImage, 10> redDigits;
    std::array<QImage, 7> weekdays;
    std::array<QImage, 7> redWeekdays;

    const QImage &of(const GlyphPlace &place) const;
};
GlyphPictures transparentPictures(const GlyphSet &glyphs);
// The same as the opaque copies a white canvas gets: the holders and the red variants.
GlyphPictures opaquePictures(const GlyphSet &glyphs);

// The drawing of a place's glyph in a vector set; null for a raster set.
const SvgGlyph *drawingOf(const GlyphSet &glyphs, const GlyphPlace &place);

} // namespace vexilo
