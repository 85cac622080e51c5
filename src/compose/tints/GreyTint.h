#pragma once

#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QRgb>

#include <array>

namespace vexilo {

// The grey tint of secondary numbers, such as week numbers: the colour's full-range BT.601
// luma Y = round(0.299 R + 0.587 G + 0.114 B), which is (299 R + 587 G + 114 B + 500) / 1000
// in integers, taken half way to white, halves rounded up: g = (Y + 256) / 2. Every channel
// gets g, so the tint is never red; black becomes 128 and white stays white. The weights and
// the halving are looked up, as every pixel of every glyph goes through here.
class GreyTint
{
public:
    GreyTint();

    // A Qt pixel in, a Qt pixel out (opaque).
    QRgb recolour(QRgb colour) const;
    // The bitmap of the whole image; a null image gives a bitmap with no matrix.
    clsPixel greyVariant(const QImage &image) const;
    // The image recoloured with its alpha kept (see tintedImage).
    QImage greyImage(const QImage &image) const;

private:
    std::array<std::array<quint32, 256>, 3> m_weights{}; // red, green, blue terms per value
    std::array<quint8, 256> m_grey{};                    // luma -> grey
};

} // namespace vexilo
