#include "GlyphDecode.h"

#include "common/RegularFile.h"
#include "compose/glyphs/ImageChecks.h"

#include <QBuffer>
#include <QImageReader>

namespace vexilo {

namespace {

// Enough for a decoded kMaxGlyphSide square in 32 bits plus the reader's working copies.
constexpr int kAllocationLimitMb = 128;
// An uncompressed kMaxGlyphSide square with room to spare; anything larger is no glyph.
constexpr qint64 kMaxGlyphFileBytes = qint64(80) << 20;

bool tooLarge(QSize size)
{
    return size.width() > kMaxGlyphSide || size.height() > kMaxGlyphSide ||
           qint64(size.width()) * size.height() > kMaxGlyphPixels;
}

// The holder has a white background: partly transparent pixels are blended onto it.
QRgb blendOnWhite(QRgb pixel)
{
    const int a = qAlpha(pixel);
    if (a == 255)
        return pixel;
    if (a == 0)
        return qRgb(255, 255, 255);
    const auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(blend(qRed(pixel)), blend(qGreen(pixel)), blend(qBlue(pixel)));
}

} // namespace

QImage glyphOnWhite(const QImage &decoded)
{
    if (!decoded.hasAlphaChannel())
        return decoded.convertToFormat(QImage::Format_RGB32);
    // A paletted image (every GIF) is blended once per colour, not once per pixel.
    if (decoded.format() == QImage::Format_Indexed8) {
        QImage opaque = decoded;
        QList<QRgb> colours = opaque.colorTable();
        for (QRgb &colour : colours)
            colour = blendOnWhite(colour);
        opaque.setColorTable(colours);
        return opaque.convertToFormat(QImage::Format_RGB32);
    }
    const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    if (argb.isNull() || out.isNull())
        return {};
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        auto *target = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            target[x] = blendOnWhite(in[x]);
    }
    return out;
}

QImage glyphAlpha(const QImage &decoded)
{
    return decoded.hasAlphaChannel() ? decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                     : QImage();
}

std::optional<QByteArray> glyphFileBytes(const QString &path)
{
    return readRegularFile(path, kMaxGlyphFileBytes);
}

QImage readGlyphImage(const QString &path)
{
    const auto bytes = glyphFileBytes(path);
    return bytes ? decodeGlyphImage(*bytes) : QImage();
}

QImage decodeGlyphImage(const QByteArray &data)
{
    const QImage decoded = decodeGlyphAsIs(data);
    return decoded.isNull() ? QImage() : glyphOnWhite(decoded);
}

QImage decodeGlyphAsIs(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > kMaxGlyphFileBytes || isCut(data))
        return {};
    const QByteArray format = formatBySignature(data);
    // A GIF's size is read from its header here: asking the decoder would scan the whole file.
    QSize declared;
    if (format == "gif") {
        gifImageComplete(data, &declared);
        if (declared.isEmpty() || tooLarge(declared))
            return {};
    }

    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The usual formats are named from their signature, which spares asking every image
    // plugin in turn; anything else is still recognised by its content.
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    reader.setAutoTransform(false);
    // The declared size is checked before anything is decoded; a file no decoder takes
    // declares none and fails to read below.
    if (format != "gif")
        declared = reader.size();
    if (declared.isValid() && (declared.isEmpty() || tooLarge(declared)))
        return {};
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull() || tooLarge(decoded.size()))
        return {};
    return decoded;
}

} // namespace vexilo
