#pragma once

#include <QByteArray>
#include <QColor>
#include <QPainterPath>
#include <QSize>

namespace vexilo {

// One glyph as a standalone SVG document: a box of `box` CSS pixels ("Npx", with a viewBox of
// the same size, so one user unit is one pixel) holding the outline as one <path> filled with
// `ink`. Nothing is drawn outside the outline, so the glyph composes onto any ground; an empty
// outline gives an empty box. The path is written with two decimals, enough for a quarter of a
// hundredth of a pixel.
QByteArray encodeSvgGlyph(const QPainterPath &outline, QSize box, const QColor &ink);

} // namespace vexilo
