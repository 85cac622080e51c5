#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>

namespace vexilo::test {

// The document drawn by librsvg to fill a transparent width × height canvas
// (Format_ARGB32_Premultiplied); a null image when librsvg refuses it.
QImage renderWithRsvg(const QByteArray &svg, int width, int height);

// The colour at a fraction `t` of the way from `from` to `to`, channel by channel.
QRgb mixColours(QRgb from, QRgb to, double t);

} // namespace vexilo::test
