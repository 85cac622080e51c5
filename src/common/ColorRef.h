#pragma once

#include <QRgb>

namespace vexilo {

// Colours of the program's model are 0x00BBGGRR (red in the low byte); Qt's are 0xAARRGGBB.
constexpr quint32 toColorRef(QRgb rgb)
{
    return (rgb >> 16 & 0xFFu) | (rgb & 0xFF00u) | (rgb & 0xFFu) << 16;
}

constexpr QRgb fromColorRef(quint32 ref)
{
    return 0xFF000000u | (ref & 0xFFu) << 16 | (ref & 0xFF00u) | (ref >> 16 & 0xFFu);
}

constexpr quint32 kWhiteRef = 0x00FFFFFFu;

} // namespace vexilo
