#include "GlyphSet.h"

#include "common/ProgramText.h"
#include "common/RegularFile.h"
#include "compose/tints/HolidayTint.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace vexilo {

namespace {

// The bitmap of an opaque image as it is.
clsPixel bitmapOf(const QImage &image)
{
    clsPixel bitmap;
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    bitmap.Start(source.width() - 1, source.height() - 1);
    if (!bitmap.hasMatrix())
        return bitmap;
    for (int y = 0; y < source.height(); ++y)
        std::copy_n(reinterpret_cast<const QRgb *>(source.constScanLine(y)), source.width(),
                    bitmap.row(y));
    return bitmap;
}

// The red variant of one holder: its pixels tinted, or for a drawing the tinted drawing
// rendered; an empty bitmap when the holder was not read.
clsPixel redVariantOf(const HolidayTint &tint, const GlyphLoad &images, bool weekday,
                      std::size_t index)
{
    const auto &holders = weekday ? images.weekdays : images.digits;
    if (index >= holders.size())
        return {};
    const auto &drawings = weekday ? images.vectorWeekdays : images.vectorDigits;
    if (images.kind == GlyphKind::Vector && index < drawings.size())
        return bitmapOf(glyphOnWhite(drawings[index].render(images.scale, true)));
    return tint.redVariant(holders[index]);
}

struct ReadGlyph
{
    QImage onWhite;
    QImage alpha;
    std::optional<SvgGlyph> drawing;
};

ReadGlyph fromDrawing(const SvgGlyph &drawing, double scale)
{
    QImage rendered = drawing.render(scale, false);
    return ReadGlyph{glyphOnWhite(rendered), std::move(rendered), drawing};
}

// The drawings of the named files, read by one loader process: one per file up to the first
// that cannot be read or drawn.
std::vector<ReadGlyph> readDrawings(const QString &folder, const QStringList &names,
                                    const SvgLoadLimits &limits)
{
    // The loader starts up while the files are read, and draws each as soon as it is sent.
    SvgGlyph::Loader loader(1.0, limits);
    for (const QString &name : names) {
        const auto bytes = readRegularFile(folder + name, kMaxSvgGlyphBytes);
        auto prepared = bytes ? SvgGlyph::documentsOf(*bytes) : std::nullopt;
        if (!prepared)
            break;
        loader.send(std::move(*prepared));
    }
    std::vector<ReadGlyph> read;
    for (const SvgGlyph &drawing : loader.glyphs())
        read.push_back(fromDrawing(drawing, 1.0));
    return read;
}

std::optional<ReadGlyph> readOne(const QString &path)
{
    const auto bytes = glyphFileBytes(path);
    const QImage decoded = bytes ? decodeGlyphAsIs(*bytes) : QImage();
    if (decoded.isNull())
        return std::nullopt;
    QImage opaque = glyphOnWhite(decoded);
    if (opaque.isNull())
        return std::nullopt;
    return ReadGlyph{std::move(opaque), glyphAlpha(decoded), std::nullopt};
}

} // namespace

QString digitFileName(int digit, GlyphKind kind)
{
    return QString::number(digit) +
           (kind == GlyphKind::Vector ? QStringLiteral(".svg") : QStringLiteral(".gif"));
}

QString monthTitleFileName(int month, GlyphKind kind)
{
    return monthNames().value(month) +
           (kind == GlyphKind::Vector ? QStringLiteral(".svg") : QStringLiteral(".gif"));
}

const std::array<QString, 7> &weekdayFileNames(GlyphKind kind)
{
    static const auto namesWith = [](const QString &extension) {
        std::array<QString, 7> files;
        for (std::size_t w = 0; w < files.size(); ++w)
            files[w] = weekdayNames()[w] + extension;
        return files;
    };
    static const std::array<QString, 7> gif = namesWith(QStringLiteral(".gif"));
    static const std::array<QString, 7> svg = namesWith(QStringLiteral(".svg"));
    return kind == GlyphKind::Vector ? svg : gif;
}

GlyphKind glyphKindOf(const QString &folder, bool sizeCheck)
{
    const auto present = [&](GlyphKind kind) {
        int count = 0;
        for (int d = 0; d <= (sizeCheck ? 0 : 9); ++d)
            count += QFileInfo(folder + digitFileName(d, kind)).isFile() ? 1 : 0;
        for (std::size_t w = 0; w <= (sizeCheck ? 0U : 6U); ++w)
            count += QFileInfo(folder + weekdayFileNames(kind)[w]).isFile() ? 1 : 0;
        return count;
    };
    const int files = sizeCheck ? 2 : 17;
    const int gif = present(GlyphKind::Raster);
    if (gif == files)
        return GlyphKind::Raster;
    const int svg = present(GlyphKind::Vector);
    return svg == files || svg > gif ? GlyphKind::Vector : GlyphKind::Raster;
}

bool isGlyphFolderName(const QString &name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    // A NUL would cut the path short where the system reads it.
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

GlyphLoad readGlyphImages(const QString &folder, bool sizeCheck)
{
    return readGlyphImages(folder, sizeCheck, SvgLoadLimits{});
}

GlyphLoad readGlyphImages(const QString &folder, bool sizeCheck, const SvgLoadLimits &limits)
{
    GlyphLoad images;
    images.kind = glyphKindOf(folder, sizeCheck);
    // A vector set is drawn by one loader for the whole set, its answers taken in order.
    std::vector<ReadGlyph> drawings;
    std::size_t nextDrawing = 0;
    if (images.kind == GlyphKind::Vector) {
        QStringList names;
        for (int i = 0; i <= (sizeCheck ? 0 : 9); ++i)
            names << digitFileName(i, images.kind);
        for (std::size_t i = 0; i <= (sizeCheck ? 0U : 6U); ++i)
            names << weekdayFileNames(images.kind)[i];
        drawings = readDrawings(folder, names, limits);
    }
    const auto readInto = [&](const QString &name, bool weekday) {
        auto glyph = images.kind == GlyphKind::Vector
                         ? (nextDrawing < drawings.size()
                                ? std::optional<ReadGlyph>(std::move(drawings[nextDrawing++]))
                                : std::nullopt)
                         : readOne(folder + name);
        if (!glyph) {
            images.failedFile = name;
            return false;
        }
        (weekday ? images.weekdays : images.digits).push_back(std::move(glyph->onWhite));
        (weekday ? images.weekdaysAlpha : images.digitsAlpha).push_back(std::move(glyph->alpha));
        if (glyph->drawing)
            (weekday ? images.vectorWeekdays : images.vectorDigits).push_back(*glyph->drawing);
        return true;
    };
    for (int i = 0; i <= (sizeCheck ? 0 : 9); ++i) {
        if (!readInto(digitFileName(i, images.kind), false))
            return images;
    }
    for (std::size_t i = 0; i <= (sizeCheck ? 0U : 6U); ++i) {
        if (!readInto(weekdayFileNames(images.kind)[i], true))
            return images;
    }
    images.complete = true;
    return images;
}

namespace {

// The red holiday variants: Tsifry per digit read, DniNedeli 0 = Сб and 1 = Вс.
struct RedVariants
{
    std::vector<clsPixel> Tsifry;
    std::vector<clsPixel> DniNedeli;
};

std::optional<RedVariants> buildRedVariants(const GlyphLoad &images, bool sizeCheck,
                                            const LetEventsRun &letEventsRun)
{
    const auto carryOn = [&letEventsRun] { return !letEventsRun || letEventsRun(); };
    const HolidayTint tint;
    RedVariants red;
    // Saturday and Sunday; in size-check mode both from Monday, the only weekday read.
    for (std::size_t i = 0; i < 2; ++i) {
        if (!carryOn())
            return std::nullopt;
        red.DniNedeli.push_back(redVariantOf(tint, images, true, sizeCheck ? 0 : i + 5));
    }
    if (!carryOn())
        return std::nullopt;
    const std::size_t digitCount = sizeCheck ? 1 : 10;
    for (std::size_t i = 0; i < digitCount; ++i) {
        if (!carryOn())
            return std::nullopt;
        red.Tsifry.push_back(redVariantOf(tint, images, false, i));
    }
    return red;
}

std::shared_ptr<GlyphSet> makeGlyphs(const std::array<QImage, 10> &picChisla,
                                     const std::array<QImage, 7> &picDniNedeli, RedVariants red,
                                     qint32 ProverkaRazmerov)
{
    auto glyphs = std::make_shared<GlyphSet>();
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

// The holders as a load leaves them: the images it read, the others as they were in `before`
// (empty when there was none).
SharedGlyphs shareLoad(const GlyphLoad &images, RedVariants red, qint32 ProverkaRazmerov,
                       const GlyphSet *before)
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
    const auto shared = makeGlyphs(digits, weekdays, std::move(red), ProverkaRazmerov);
    GlyphSet &glyphs = *shared;
    glyphs.kind = images.kind;
    glyphs.scale = images.scale;
    if (before != nullptr) {
        glyphs.digitsAlpha = before->digitsAlpha;
        glyphs.weekdaysAlpha = before->weekdaysAlpha;
        glyphs.vectorDigits = before->vectorDigits;
        glyphs.vectorWeekdays = before->vectorWeekdays;
    }
    const auto take = [](const auto &from, auto &to) {
        for (std::size_t i = 0; i < std::min(from.size(), to.size()); ++i)
            to[i] = from[i];
    };
    take(images.digitsAlpha, glyphs.digitsAlpha);
    take(images.weekdaysAlpha, glyphs.weekdaysAlpha);
    take(images.vectorDigits, glyphs.vectorDigits);
    take(images.vectorWeekdays, glyphs.vectorWeekdays);
    return shared;
}

} // namespace

SharedGlyphs buildGlyphSet(const GlyphLoad &load, qint32 ProverkaRazmerov,
                           const SharedGlyphs &before, const LetEventsRun &letEventsRun)
{
    auto red = buildRedVariants(load, isSizeCheck(ProverkaRazmerov), letEventsRun);
    // The window lets events run above, so its set is taken only now.
    return red ? shareLoad(load, std::move(*red), ProverkaRazmerov, before.get()) : nullptr;
}

SharedGlyphs keptAfterFailure(const GlyphLoad &load, qint32 ProverkaRazmerov,
                              const GlyphSet *before)
{
    return shareLoad(load, before ? RedVariants{before->Tsifry, before->DniNedeli} : RedVariants{},
                     ProverkaRazmerov, before);
}

GlyphLoad loadGlyphSet(const QString &folder, qint32 ProverkaRazmerov)
{
    GlyphLoad load = readGlyphImages(folder, isSizeCheck(ProverkaRazmerov));
    if (load.complete)
        load.set = buildGlyphSet(load, ProverkaRazmerov);
    return load;
}

SharedGlyphs shareGlyphs(const std::array<QImage, 10> &picChisla,
                         const std::array<QImage, 7> &picDniNedeli, std::vector<clsPixel> Tsifry,
                         std::vector<clsPixel> DniNedeli, qint32 ProverkaRazmerov)
{
    return makeGlyphs(picChisla, picDniNedeli, RedVariants{std::move(Tsifry), std::move(DniNedeli)},
                      ProverkaRazmerov);
}

SharedGlyphs glyphsAtScale(const SharedGlyphs &glyphs, double scale)
{
    if (!glyphs || glyphs->kind != GlyphKind::Vector || scale == 1.0)
        return glyphs;
    GlyphLoad images;
    images.kind = GlyphKind::Vector;
    images.scale = scale;
    // The drawings again, by one loader for the set.
    std::vector<const SvgGlyph *> drawings;
    const auto collect = [&drawings](const auto &list) {
        for (const auto &drawing : list) {
            if (!drawing)
                break;
            drawings.push_back(&*drawing);
        }
    };
    collect(glyphs->vectorDigits);
    const std::size_t digitCount = drawings.size();
    collect(glyphs->vectorWeekdays);
    const std::vector<SvgGlyph> again = SvgGlyph::atScale(drawings, scale);
    if (again.size() != drawings.size())
        return nullptr;
    for (std::size_t i = 0; i < again.size(); ++i) {
        ReadGlyph glyph = fromDrawing(again[i], scale);
        const bool weekday = i >= digitCount;
        (weekday ? images.weekdays : images.digits).push_back(std::move(glyph.onWhite));
        (weekday ? images.weekdaysAlpha : images.digitsAlpha).push_back(std::move(glyph.alpha));
        (weekday ? images.vectorWeekdays : images.vectorDigits).push_back(again[i]);
    }
    const auto isNull = [](const QImage &image) { return image.isNull(); };
    if (std::any_of(images.digits.begin(), images.digits.end(), isNull) ||
        std::any_of(images.weekdays.begin(), images.weekdays.end(), isNull))
        return nullptr;
    return buildGlyphSet(images, glyphs->ProverkaRazmerov);
}

std::optional<GlyphSet> recordedAt(const GlyphSet &glyphs, int dpi)
{
    const auto first = glyphs.vectorDigits[0];
    if (glyphs.kind != GlyphKind::Vector || !first ||
        dpi <= std::lround(first->recordScale() * 96.0))
        return std::nullopt;
    std::vector<const SvgGlyph *> drawings;
    for (const auto &drawing : glyphs.vectorDigits)
        drawings.push_back(drawing ? &*drawing : nullptr);
    for (const auto &drawing : glyphs.vectorWeekdays)
        drawings.push_back(drawing ? &*drawing : nullptr);
    std::erase(drawings, nullptr);
    const std::vector<SvgGlyph> again = SvgGlyph::atScale(drawings, glyphs.scale, dpi);
    if (again.size() != drawings.size())
        return std::nullopt;
    GlyphSet finer = glyphs;
    std::size_t next = 0;
    for (auto *list : {&finer.vectorDigits})
        for (auto &drawing : *list)
            if (drawing)
                drawing = again[next++];
    for (auto &drawing : finer.vectorWeekdays)
        if (drawing)
            drawing = again[next++];
    return finer;
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
