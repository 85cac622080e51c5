#include "GlyphSet.h"

#include "common/ProgramText.h"
#include "compose/HolidayTint.h"
#include "compose/ImageChecks.h"

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
    static const std::array<QString, 7> names = [] {
        std::array<QString, 7> files;
        for (std::size_t w = 0; w < files.size(); ++w)
            files[w] = weekdayNames()[w] + QStringLiteral(".gif");
        return files;
    }();
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

SharedGlyphs shareGlyphs(const std::array<QImage, 10> &picChisla,
                         const std::array<QImage, 7> &picDniNedeli, RedVariants red,
                         qint32 ProverkaRazmerov)
{
    auto glyphs = std::make_shared<LoadedGlyphs>();
    glyphs->picChisla = picChisla;
    glyphs->picDniNedeli = picDniNedeli;
    glyphs->Tsifry = std::move(red.Tsifry);
    glyphs->DniNedeli = std::move(red.DniNedeli);
    glyphs->ProverkaRazmerov = ProverkaRazmerov;
    for (std::size_t d = 0; d < picChisla.size(); ++d)
        glyphs->ink.digits[d] = inkOf(picChisla[d]);
    for (std::size_t w = 0; w < picDniNedeli.size(); ++w)
        glyphs->ink.weekdays[w] = inkOf(picDniNedeli[w]);
    return glyphs;
}

SharedGlyphs shareGlyphs(const GlyphImages &images, RedVariants red, qint32 ProverkaRazmerov,
                         const LoadedGlyphs *before)
{
    std::array<QImage, 10> digits;
    std::array<QImage, 7> weekdays;
    if (before != nullptr) {
        digits = before->picChisla;
        weekdays = before->picDniNedeli;
    }
    std::copy_n(images.digits.begin(), std::min(images.digits.size(), digits.size()),
                digits.begin());
    std::copy_n(images.weekdays.begin(), std::min(images.weekdays.size(), weekdays.size()),
                weekdays.begin());
    return shareGlyphs(digits, weekdays, std::move(red), ProverkaRazmerov);
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
