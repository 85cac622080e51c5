#include "GlyphSet.h"

#include "compose/HolidayTint.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

namespace vexilo {

namespace {

// Enough for a decoded kMaxGlyphSide square in 32 bits plus the reader's working copies.
constexpr int kAllocationLimitMb = 128;
// An uncompressed kMaxGlyphSide square with room to spare; anything larger is no glyph.
constexpr qint64 kMaxGlyphFileBytes = qint64(80) << 20;

// Whether the first image of a GIF is there to its last data block. The decoder shows a cut
// file as far as it goes and calls that success. `declared` gets the larger of the logical
// screen and the first image's extent: what the decoder will allocate.
bool gifImageComplete(const QByteArray &bytes, QSize *declared = nullptr)
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

QImage onWhite(const QImage &decoded)
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

// The bitmap of one holder, or an empty one when the holder was not read.
clsPixel redVariantOf(const HolidayTint &tint, const std::vector<QImage> &holders,
                      std::size_t index)
{
    return index < holders.size() ? tint.redVariant(holders[index]) : clsPixel{};
}

} // namespace

QString digitFileName(int digit)
{
    return QString::number(digit) + QStringLiteral(".gif");
}

const std::array<QString, 7> &weekdayFileNames()
{
    static const std::array<QString, 7> names = {QStringLiteral("Пн.gif"), QStringLiteral("Вт.gif"),
                                                 QStringLiteral("Ср.gif"), QStringLiteral("Чт.gif"),
                                                 QStringLiteral("Пт.gif"), QStringLiteral("Сб.gif"),
                                                 QStringLiteral("Вс.gif")};
    return names;
}

QImage readGlyphImage(const QString &path)
{
    // A folder, a pipe or a device named like a glyph would fail or block the read.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0 || info.size() > kMaxGlyphFileBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read what the file holds, not a buffer of the largest size allowed.
    return decodeGlyphImage(file.read(std::min<qint64>(info.size(), kMaxGlyphFileBytes) + 1));
}

QImage decodeGlyphImage(const QByteArray &data)
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
    return onWhite(decoded);
}

bool isGlyphFolderName(const QString &name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    // A NUL would cut the path short where the system reads it.
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

GlyphImages readGlyphImages(const QString &folder, bool sizeCheck)
{
    GlyphImages images;
    const int lastDigit = sizeCheck ? 0 : 9;
    for (int i = 0; i <= lastDigit; ++i) {
        const QString name = digitFileName(i);
        QImage image = readGlyphImage(folder + name);
        if (image.isNull()) {
            images.failedFile = name;
            return images;
        }
        images.digits.push_back(std::move(image));
    }
    const std::size_t lastWeekday = sizeCheck ? 0 : 6;
    for (std::size_t i = 0; i <= lastWeekday; ++i) {
        const QString &name = weekdayFileNames()[i];
        QImage image = readGlyphImage(folder + name);
        if (image.isNull()) {
            images.failedFile = name;
            return images;
        }
        images.weekdays.push_back(std::move(image));
    }
    images.complete = true;
    return images;
}

std::optional<RedVariants> buildRedVariants(const GlyphImages &images, bool sizeCheck,
                                            const LetEventsRun &letEventsRun)
{
    const auto carryOn = [&letEventsRun] { return !letEventsRun || letEventsRun(); };
    const HolidayTint tint;
    RedVariants red;
    // Saturday and Sunday; in size-check mode both from Monday, the only weekday read.
    for (std::size_t i = 0; i < 2; ++i) {
        if (!carryOn())
            return std::nullopt;
        red.DniNedeli.push_back(redVariantOf(tint, images.weekdays, sizeCheck ? 0 : i + 5));
    }
    if (!carryOn())
        return std::nullopt;
    const std::size_t digitCount = sizeCheck ? 1 : 10;
    for (std::size_t i = 0; i < digitCount; ++i) {
        if (!carryOn())
            return std::nullopt;
        red.Tsifry.push_back(redVariantOf(tint, images.digits, i));
    }
    return red;
}

GlyphSet loadGlyphSet(const QString &folder, qint32 ProverkaRazmerov)
{
    GlyphSet set;
    const bool sizeCheck = isSizeCheck(ProverkaRazmerov);
    set.images = readGlyphImages(folder, sizeCheck);
    if (set.images.complete)
        set.red = *buildRedVariants(set.images, sizeCheck);
    return set;
}

QStringList glyphFolderNames(const QString &appFolder)
{
    QStringList names = QDir(appFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return names;
}

QStringList glyphSetNamesIn(const QStringList &roots)
{
    QStringList names;
    for (const QString &root : roots) {
        for (const QString &name : glyphFolderNames(root)) {
            if (!names.contains(name))
                names.append(name);
        }
    }
    return names;
}

QString glyphSetFolderIn(const QStringList &roots, const QString &name)
{
    for (const QString &root : roots) {
        if (QFileInfo(root + name).isDir())
            return root + name + QLatin1Char('/');
    }
    return roots.value(0) + name + QLatin1Char('/');
}

} // namespace vexilo
