#pragma once

#include <QByteArray>
#include <QRgb>

#include <functional>

namespace vexilo {

// The SVG document with every colour it paints passed through `recolour`: the colour
// attributes and properties of elements, inline styles and <style> sheets. Opacity is kept
// apart from the colour, so transparency stays transparent; the colours inside a mask are
// kept, since they make transparency. The black a drawing paints without naming it (the
// initial fill and color, stops and floods) is tinted too. Internal entities come out
// expanded and the DOCTYPE is dropped; external entities are never fetched. Empty when the
// bytes are not well-formed XML, nest deeper than 256 elements, expand entities beyond the
// XML reader's limit or lie beyond the bounds of boundedXml.
QByteArray tintSvgColours(const QByteArray &svg, const std::function<QRgb(QRgb)> &recolour);

} // namespace vexilo
