#include "GlyphFiles.h"

#include "compose/glyphs/GlyphSet.h"
#include "support/TempAppFolder.h"

#include <QBuffer>

namespace vexilo::test {

namespace {

void putWord(QByteArray &bytes, int value)
{
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

// Three-bit codes, least significant bit first, in sub-blocks of at most 255 bytes.
QByteArray lzwData(const std::vector<quint8> &pixels)
{
    constexpr unsigned kClear = 4;
    constexpr unsigned kEnd = 5;
    std::vector<unsigned> codes;
    for (quint8 pixel : pixels) {
        codes.push_back(kClear);
        codes.push_back(pixel);
    }
    codes.push_back(kEnd);
    QByteArray packed;
    unsigned buffer = 0;
    int bits = 0;
    for (unsigned code : codes) {
        buffer |= code << bits;
        bits += 3;
        while (bits >= 8) {
            packed.append(static_cast<char>(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        packed.append(static_cast<char>(buffer & 0xFF));
    QByteArray blocks;
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        blocks.append(static_cast<char>(block.size()));
        blocks.append(block);
    }
    blocks.append('\0');
    return blocks;
}

} // namespace

QByteArray gifBytes(int width, int height, const std::array<QRgb, 4> &palette,
                    const std::vector<quint8> &pixels, int transparent)
{
    QByteArray bytes("GIF89a");
    putWord(bytes, width);
    putWord(bytes, height);
    bytes.append(static_cast<char>(0x91)); // global table of 4 colours
    bytes.append('\0');
    bytes.append('\0');
    for (QRgb colour : palette) {
        bytes.append(static_cast<char>(qRed(colour)));
        bytes.append(static_cast<char>(qGreen(colour)));
        bytes.append(static_cast<char>(qBlue(colour)));
    }
    if (transparent >= 0) {
        bytes.append("\x21\xF9\x04\x01\x00\x00", 6);
        bytes.append(static_cast<char>(transparent));
        bytes.append('\0');
    }
    bytes.append(static_cast<char>(0x2C));
    putWord(bytes, 0);
    putWord(bytes, 0);
    putWord(bytes, width);
    putWord(bytes, height);
    bytes.append('\0');
    bytes.append(static_cast<char>(2)); // minimum code size
    bytes.append(lzwData(pixels));
    bytes.append(static_cast<char>(0x3B));
    return bytes;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QRgb glyphInk(int tag, int index)
{
    return qRgb(tag, index * 10, 40);
}

QImage testGlyph(QSize size, QRgb ink)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(ink);
    image.setPixel(size.width() - 1, size.height() - 1, qRgb(255, 255, 255));
    return image;
}

void writeGlyphSet(const TempAppFolder &app, const QString &name, int tag, QSize digitSize,
                   QSize weekdaySize, const QStringList &skip)
{
    app.makeFolder(name);
    for (int i = 0; i < 10; ++i) {
        const QString file = digitFileName(i);
        if (!skip.contains(file))
            app.write(name + QLatin1Char('/') + file,
                      pngBytes(testGlyph(digitSize, glyphInk(tag, i))));
    }
    for (int i = 0; i < 7; ++i) {
        const QString &file = weekdayFileNames()[static_cast<std::size_t>(i)];
        if (!skip.contains(file))
            app.write(name + QLatin1Char('/') + file,
                      pngBytes(testGlyph(weekdaySize, glyphInk(tag, 10 + i))));
    }
}

} // namespace vexilo::test
