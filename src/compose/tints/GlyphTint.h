#pragma once

#include <cstdint>

namespace vexilo {

// The tints a glyph is drawn in, each computed once per set: its own colours, the holiday red,
// the pale tint of what stands back and its pale red (PaleTint), and the grey of secondary
// numbers (GreyTint).
enum class GlyphTint : std::uint8_t { Plain, Holiday, Pale, PaleHoliday, Grey };
inline constexpr int kGlyphTints = 5;

constexpr bool isRedTint(GlyphTint tint)
{
    return tint == GlyphTint::Holiday || tint == GlyphTint::PaleHoliday;
}

// The tint of a glyph that is red or not, and pale or not.
constexpr GlyphTint tintOf(bool red, bool pale)
{
    if (pale)
        return red ? GlyphTint::PaleHoliday : GlyphTint::Pale;
    return red ? GlyphTint::Holiday : GlyphTint::Plain;
}

} // namespace vexilo
