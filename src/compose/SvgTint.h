#pragma once

#include <QByteArray>
#include <QRgb>

#include <functional>

namespace vexilo {

// The SVG document with every colour it paints passed through `recolour`: the colour
// attributes and properties of elements, inline styles and <style> sheets. Opacity is kept
// apart from the colour, so transparency stays transparent. Empty when the bytes are not
// well-formed XML.
QByteArray tintSvgColours(const QByteArray &svg, const std::function<QRgb(QRgb)> &recolour);

} // namespace vexilo
