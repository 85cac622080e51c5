#pragma once

#include "compose/glyphs/GlyphSet.h"
#include "compose/output/GlyphPictures.h"
#include "compose/sheet/SheetPlan.h"

#include <QImage>

namespace vexilo {

// Draws a canvas's glyphs onto a white image of its size or, from row `top` on, onto a white
// image of the band's size: each glyph an opaque copy at its place, clipped at the edges; the
// red ones from the red variants, the pale, pale red and grey ones from the tinted holders, the
// titles from the set's titles. A glyph the set does not hold draws nothing.
// With inkOnly only the glyphs' ink is copied where it lands on white, which gives the pixels
// of whole copies with fewer bytes moved.
void paintCanvas(QImage &white, const CanvasPlan &canvas, const GlyphSet &glyphs, qint64 top = 0,
                 bool inkOnly = true);

// The same onto a transparent image: the glyphs with their own transparency, later ones over
// earlier ones, leaving what is below their transparent pixels.
void paintTransparent(QImage &clear, const CanvasPlan &canvas, const GlyphPictures &pictures,
                      qint64 top = 0);

// Opaque copy of a glyph image at its natural size, clipped at the canvas edges.
void copyGlyph(QImage &canvas, const QImage &glyph, qint64 x, qint64 y);

} // namespace vexilo
