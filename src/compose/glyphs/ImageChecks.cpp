#include "ImageChecks.h"

namespace vexilo {

// Whether the first image of a GIF is there to its last data block. The decoder shows a cut
// file as far as it goes and calls that success. `declared` gets the larger of the logical
// screen and the first image's extent: what the decoder will allocate.
bool gifImageComplete(const QByteArray &bytes, QSize *declared)
{
    const qsizetype size = bytes.size();
    const auto byteAt = [&bytes](qsizetype at) { return static_cast<uchar>(bytes[at]); };
    const auto word = [&](qsizetype at) { return int(byteAt(at)) | int(byteAt(at + 1)) << 8; };
    const auto colourTable = [](uchar flags) -> qsizetype {
        return (flags & 0x80) != 0 ? 3 * (qsizetype(2) << (flags & 7)) : 0;
    };
    qsizetype at = 13; // signature and logical screen
    if (size < at)
        return false;
    QSize extent(word(6), word(8));
    at += colourTable(byteAt(10));
    const auto skipSubBlocks = [&] {
        for (;;) {
            if (at >= size)
                return false;
            const uchar length = byteAt(at++);
            if (length == 0)
                return true;
            at += length;
        }
    };
    while (at < size) {
        const uchar kind = byteAt(at++);
        if (kind == 0x21) { // extension: label, then data blocks
            ++at;
            if (!skipSubBlocks())
                return false;
        } else if (kind == 0x2C) { // image: descriptor, colour table, code size, data blocks
            if (at + 9 > size)
                return false;
            extent = extent.expandedTo(QSize(word(at) + word(at + 4), word(at + 2) + word(at + 6)));
            if (declared != nullptr)
                *declared = extent;
            at += 9 + colourTable(byteAt(at + 8));
            ++at;
            return skipSubBlocks();
        } else {
            return false; // the trailer or anything else before an image
        }
    }
    return false;
}

namespace {

// A JPEG ends its last scan with the end-of-image marker; markers cannot occur inside the
// coded data.
bool jpegComplete(const QByteArray &bytes)
{
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return lastScan >= 0 && bytes.lastIndexOf(QByteArrayView("\xFF\xD9", 2)) > lastScan;
}

// An uncompressed BMP holds all its rows after the pixel offset.
bool bmpComplete(const QByteArray &bytes)
{
    const auto word = [&bytes](qsizetype at, int length) {
        quint32 value = 0;
        for (int i = length - 1; i >= 0; --i)
            value = value << 8 | static_cast<uchar>(bytes[at + i]);
        return value;
    };
    if (bytes.size() < 26)
        return false;
    const qint64 pixels = word(10, 4);
    const quint32 header = word(14, 4);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bits = 0;
    if (header == 12) { // the old OS/2 header
        width = word(18, 2);
        height = word(20, 2);
        bits = word(24, 2);
    } else {
        if (bytes.size() < 34)
            return false;
        width = static_cast<qint32>(word(18, 4));
        height = static_cast<qint32>(word(22, 4));
        bits = word(28, 2);
        const quint32 compression = word(30, 4);
        if (compression != 0 && compression != 3) // run-length data has no fixed size
            return true;
    }
    if (width <= 0 || height == 0 || bits == 0 || bits > 32)
        return true; // the decoder refuses these by itself
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    // Divided, not multiplied: rows of 4 GB times 2^31 rows pass 64 bits.
    const qint64 available = bytes.size() - pixels;
    return available >= 0 && rowBytes <= available / std::abs(height);
}

} // namespace

bool isCut(const QByteArray &bytes)
{
    if (bytes.startsWith("BM"))
        return !bmpComplete(bytes);
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return !gifImageComplete(bytes);
    if (bytes.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return !jpegComplete(bytes);
    return false; // the other decoders fail on a cut file by themselves
}

QByteArray formatBySignature(const QByteArray &bytes)
{
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return QByteArrayLiteral("png");
    if (bytes.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    if (bytes.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return QByteArrayLiteral("jpeg");
    return {};
}

} // namespace vexilo
