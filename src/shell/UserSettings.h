#pragma once

#include "compose/GlyphMaker.h"
#include "compose/SheetOutput.h"

#include <optional>

namespace vexilo {

// Choices kept for the user beyond "Options.ini" (whose lines never change): how sheets are
// saved as PNG or PDF and printed. Kept with QSettings in the user's configuration folder.
OutputOptions loadOutputOptions();
void saveOutputOptions(const OutputOptions &options);

// The font, size, boldness and colour of the last glyph set made from a font; nothing before
// the first, or when what is kept cannot be read.
std::optional<GlyphStyle> loadGlyphStyle();
void saveGlyphStyle(const GlyphStyle &style);

} // namespace vexilo
