#pragma once

#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QRgb>

#include <array>

namespace vexilo {

// value clamped to lo..hi.
quint8 Ogranichit(quint8 lo, quint8 hi, qint32 value);

// The holiday red of a glyph: white stays white, every other colour becomes red 255 with its
// studio-range BT.601 luma in green and blue. The channel weights are looked up, not
// multiplied, because every pixel of every glyph goes through here.
class HolidayTint
{
public:
    HolidayTint();

    // A Qt pixel in, a Qt pixel out (opaque).
    QRgb recolour(QRgb colour) const;
    // The bitmap of the whole image, recoloured; a null image gives a bitmap with no matrix.
    clsPixel redVariant(const QImage &image) const;

private:
    std::array<std::array<double, 256>, 3> m_weights{}; // red, green, blue terms per value
};

} // namespace vexilo
