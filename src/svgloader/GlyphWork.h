#pragma once

#include "common/SvgLoaderWire.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexilo::svgloader {

// One document drawn: its pixels at the render scale and its recording at the record scale.
struct Drawn
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // premultiplied ARGB32, rows without padding
    std::string script;
};

struct GlyphAnswer
{
    double width = 0; // CSS pixels
    double height = 0;
    double recordScale = 1;
    std::vector<Drawn> variants; // in the order the documents came, the plain one first
};

// Reads the first (plain) document's size and draws every document at that size; false when
// librsvg cannot read or draw one of them, or the drawing has no size a glyph may have.
bool drawGlyph(const std::vector<std::string> &documents, double renderScale, double recordScale,
               GlyphAnswer &answer);

// The answer as it goes down the pipe.
void appendAnswer(std::string &out, const GlyphAnswer &answer);

} // namespace vexilo::svgloader
