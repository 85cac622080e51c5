#pragma once

#include "compose/tints/HolidayTint.h"
#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QRgb>

#include <array>

namespace vexilo {

// The pale tint of glyphs that stand back, such as the days of neighbouring months: each
// channel c goes 60 % of its way to white, c' = c + round(0.6 * (255 - c)), which is
// c + (6 * (255 - c) + 5) / 10 in integers (0.6 times an integer never ends in a half). The
// hue stays, black becomes 153, white stays white, and no channel gets darker. The pale red
// of their holidays is this tint of the holiday red: red 255, and the holiday red's green and
// blue (16..235) taken 60 % of the way to white (159..247).
class PaleTint
{
public:
    PaleTint();

    // A Qt pixel in, a Qt pixel out (opaque): the pale colour, and the pale holiday red.
    QRgb recolour(QRgb colour) const;
    QRgb recolourRed(QRgb colour) const;
    // The bitmaps of the whole image; a null image gives a bitmap with no matrix.
    clsPixel paleVariant(const QImage &image) const;
    clsPixel paleRedVariant(const QImage &image) const;
    // The image recoloured with its alpha kept (see tintedImage).
    QImage paleImage(const QImage &image) const;
    QImage paleRedImage(const QImage &image) const;

private:
    HolidayTint m_red;
    std::array<quint8, 256> m_channel{};
};

} // namespace vexilo
