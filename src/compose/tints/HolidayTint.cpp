#include "HolidayTint.h"

#include "common/NumberText.h"
#include "compose/tints/TintedImage.h"

namespace vexilo {

quint8 Ogranichit(quint8 lo, quint8 hi, qint32 value)
{
    if (value < lo)
        return lo;
    if (value > hi)
        return hi;
    return static_cast<quint8>(value);
}

HolidayTint::HolidayTint()
{
    for (int v = 0; v < 256; ++v) {
        m_weights[0][static_cast<std::size_t>(v)] = 0.257 * v;
        m_weights[1][static_cast<std::size_t>(v)] = 0.504 * v;
        m_weights[2][static_cast<std::size_t>(v)] = 0.098 * v;
    }
}

QRgb HolidayTint::recolour(QRgb colour) const
{
    constexpr QRgb kWhite = 0x00FFFFFFu;
    if ((colour & 0x00FFFFFFu) == kWhite)
        return qRgb(255, 255, 255);
    // Summed red, green, blue in this order: the rounding of ties depends on it.
    const double sum = m_weights[0][static_cast<std::size_t>(qRed(colour))] +
                       m_weights[1][static_cast<std::size_t>(qGreen(colour))] +
                       m_weights[2][static_cast<std::size_t>(qBlue(colour))];
    // The sum of 255 in every channel is 219.045, so the cast cannot overflow.
    const int luma = Ogranichit(16, 235, static_cast<qint32>(roundHalfEven(sum)) + 16);
    return qRgb(255, luma, luma);
}

clsPixel HolidayTint::redVariant(const QImage &image) const
{
    return tintedBitmap(image, [this](QRgb colour) { return recolour(colour); });
}

} // namespace vexilo
