#include "HolidayTint.h"

#include "common/NumberText.h"

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
    clsPixel bitmap;
    if (image.isNull())
        return bitmap;
    const QImage source = image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_RGB32);
    bitmap.Start(source.width() - 1, source.height() - 1);
    if (!bitmap.hasMatrix())
        return bitmap;
    // Glyphs are long runs of a few colours: remember the last one.
    QRgb lastIn = source.pixel(0, 0);
    QRgb lastOut = recolour(lastIn);
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *out = bitmap.row(y);
        for (int x = 0; x < source.width(); ++x) {
            if (in[x] != lastIn) {
                lastIn = in[x];
                lastOut = recolour(lastIn);
            }
            out[x] = lastOut;
        }
    }
    return bitmap;
}

} // namespace vexilo
