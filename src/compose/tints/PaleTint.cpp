#include "PaleTint.h"

#include "compose/tints/TintedImage.h"

namespace vexilo {

PaleTint::PaleTint()
{
    for (int c = 0; c < 256; ++c)
        m_channel[static_cast<std::size_t>(c)] = static_cast<quint8>(c + (6 * (255 - c) + 5) / 10);
}

QRgb PaleTint::recolour(QRgb colour) const
{
    return qRgb(m_channel[static_cast<std::size_t>(qRed(colour))],
                m_channel[static_cast<std::size_t>(qGreen(colour))],
                m_channel[static_cast<std::size_t>(qBlue(colour))]);
}

QRgb PaleTint::recolourRed(QRgb colour) const
{
    return recolour(m_red.recolour(colour));
}

clsPixel PaleTint::paleVariant(const QImage &image) const
{
    return tintedBitmap(image, [this](QRgb colour) { return recolour(colour); });
}

clsPixel PaleTint::paleRedVariant(const QImage &image) const
{
    return tintedBitmap(image, [this](QRgb colour) { return recolourRed(colour); });
}

QImage PaleTint::paleImage(const QImage &image) const
{
    return tintedImage(image, [this](QRgb colour) { return recolour(colour); });
}

QImage PaleTint::paleRedImage(const QImage &image) const
{
    return tintedImage(image, [this](QRgb colour) { return recolourRed(colour); });
}

} // namespace vexilo
