#include "GreyTint.h"

#include "compose/tints/TintedImage.h"

namespace vexilo {

GreyTint::GreyTint()
{
    for (quint32 v = 0; v < 256; ++v) {
        m_weights[0][v] = 299 * v;
        m_weights[1][v] = 587 * v;
        m_weights[2][v] = 114 * v;
        m_grey[v] = static_cast<quint8>((v + 256) / 2);
    }
}

QRgb GreyTint::recolour(QRgb colour) const
{
    // The weights add up to 1000, so white gives 255 and the luma stays within the table.
    const quint32 luma = (m_weights[0][static_cast<std::size_t>(qRed(colour))] +
                          m_weights[1][static_cast<std::size_t>(qGreen(colour))] +
                          m_weights[2][static_cast<std::size_t>(qBlue(colour))] + 500) /
                         1000;
    const int grey = m_grey[luma];
    return qRgb(grey, grey, grey);
}

clsPixel GreyTint::greyVariant(const QImage &image) const
{
    return tintedBitmap(image, [this](QRgb colour) { return recolour(colour); });
}

QImage GreyTint::greyImage(const QImage &image) const
{
    return tintedImage(image, [this](QRgb colour) { return recolour(colour); });
}

} // namespace vexilo
