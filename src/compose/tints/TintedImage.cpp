#include "TintedImage.h"

namespace vexilo {

namespace {

// Glyphs are long runs of a few colours: the last one is remembered.
class LastColour
{
public:
    explicit LastColour(const ColourTint &tint) : m_tint(tint) {}

    QRgb operator()(QRgb colour)
    {
        if (!m_known || colour != m_in) {
            m_in = colour;
            m_out = m_tint(colour);
            m_known = true;
        }
        return m_out;
    }

private:
    const ColourTint &m_tint;
    QRgb m_in = 0;
    QRgb m_out = 0;
    bool m_known = false;
};

} // namespace

clsPixel tintedBitmap(const QImage &image, const ColourTint &tint)
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
    LastColour recolour(tint);
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *out = bitmap.row(y);
        for (int x = 0; x < source.width(); ++x)
            out[x] = recolour(in[x]);
    }
    return bitmap;
}

QImage tintedImage(const QImage &image, const ColourTint &tint)
{
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    QImage result =
        image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    LastColour recolour(tint);
    for (int y = 0; y < result.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = row[x];
            const int coverage = alpha ? qAlpha(pixel) : 255;
            if (coverage == 0)
                continue;
            const QRgb colour = recolour(coverage == 255 ? pixel : qUnpremultiply(pixel));
            row[x] =
                coverage == 255
                    ? (colour | 0xFF000000u)
                    : qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour), coverage));
        }
    }
    return result;
}

} // namespace vexilo
