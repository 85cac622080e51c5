#include "GlyphSet.h"

#include "common/ProgramText.h"
#include "common/RegularFile.h"
#include "compose/tints/GreyTint.h"
#include "compose/tints/HolidayTint.h"
#include "compose/tints/PaleTint.h"

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

// A drawing asked of the loader: its file, the tints it is drawn in, and whether the set may
// lack it (a month title) or the reading stops there.
struct WantedDrawing
{
    QString name;
    std::uint32_t tints = kEveryTint;
    bool optional = false;
};

// Digits are drawn in every tint; weekday names in all but the grey of week numbers.
constexpr std::uint32_t kWeekdayTints = kEveryTint & ~(std::uint32_t(1) << int(GlyphTint::Grey));

// The drawings of the named files, read by one loader process, one per file in order: up to
// the first file that cannot be read or drawn, passing over optional files that cannot be
// read. Nothing for each file passed over and each after the first failure.
std::vector<std::optional<ReadGlyph>> readDrawings(const QString &folder,
                                                   const std::vector<WantedDrawing> &wanted,
                                                   const SvgLoadLimits &limits)
{
    // The loader starts up while the files are read, and draws each as soon as it is sent.
    SvgGlyph::Loader loader(1.0, limits);
    std::vector<std::size_t> sent;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const auto bytes = readRegularFile(folder + wanted[i].name, kMaxSvgGlyphBytes);
        auto prepared = bytes ? SvgGlyph::documentsOf(*bytes, wanted[i].tints) : std::nullopt;
        if (!prepared) {
            if (wanted[i].optional)
                continue;
            break;
        }
        loader.send(std::move(*prepared));
        sent.push_back(i);
    }
    std::vector<std::optional<ReadGlyph>> read(wanted.size());
    const std::vector<SvgGlyph> drawn = loader.glyphs();
    for (std::size_t k = 0; k < drawn.size(); ++k)
        read[sent[k]] = fromDrawing(drawn[k], 1.0);
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
    const int lastDigit = sizeCheck ? 0 : 9;
    const std::size_t lastWeekday = sizeCheck ? 0U : 6U;
    // A vector set is drawn by one loader for the whole set, its answers taken in order.
    std::vector<std::optional<ReadGlyph>> drawings;
    std::size_t nextDrawing = 0;
    if (images.kind == GlyphKind::Vector) {
        std::vector<WantedDrawing> wanted;
        for (int i = 0; i <= lastDigit; ++i)
            wanted.push_back({digitFileName(i, images.kind), kEveryTint, false});
        for (std::size_t i = 0; i <= lastWeekday; ++i)
            wanted.push_back({weekdayFileNames(images.kind)[i], kWeekdayTints, false});
        for (int m = 0; m < 12; ++m)
            wanted.push_back({monthTitleFileName(m, images.kind), kPlainOnly, true});
        drawings = readDrawings(folder, wanted, limits);
    }
    const auto readNext = [&](const QString &name) -> std::optional<ReadGlyph> {
        if (images.kind != GlyphKind::Vector)
            return readOne(folder + name);
        return nextDrawing < drawings.size() ? std::move(drawings[nextDrawing++]) : std::nullopt;
    };
    const auto readInto = [&](const QString &name, bool weekday) {
        auto glyph = readNext(name);
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
    for (int i = 0; i <= lastDigit; ++i) {
        if (!readInto(digitFileName(i, images.kind), false))
            return images;
    }
    for (std::size_t i = 0; i <= lastWeekday; ++i) {
        if (!readInto(weekdayFileNames(images.kind)[i], true))
            return images;
    }
    images.complete = true;
    // A title the set lacks or cannot read is only named: the sheet can do without it.
    for (std::size_t m = 0; m < images.titles.size(); ++m) {
        const QString name = monthTitleFileName(int(m), images.kind);
        auto glyph = readNext(name);
        if (!glyph) {
            if (images.missingTitle.isEmpty())
                images.missingTitle = name;
            continue;
        }
        images.titles[m] = std::move(glyph->onWhite);
        images.titlesAlpha[m] = std::move(glyph->alpha);
        images.vectorTitles[m] = std::move(glyph->drawing);
    }
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

// The tinted holders of one holder: for each tint asked for (a null target is not), the
// holder's drawing in that tint rendered as the holder is, else the holder's pixels tinted.
// The pixels of every tint are found in one pass, as glyphs are long runs of a few colours.
struct TintTargets
{
    QImage *pale = nullptr;
    QImage *paleRed = nullptr;
    QImage *grey = nullptr;
};

void tintHolder(const QImage &holder, const std::optional<SvgGlyph> &drawing, double scale,
                TintTargets targets)
{
    static const PaleTint pale;
    static const GreyTint grey;
    const std::array<std::pair<QImage *, GlyphTint>, 3> wanted{
        {{targets.pale, GlyphTint::Pale},
         {targets.paleRed, GlyphTint::PaleHoliday},
         {targets.grey, GlyphTint::Grey}}};
    std::array<QImage *, 3> byPixels{};
    for (std::size_t t = 0; t < wanted.size(); ++t) {
        QImage *target = wanted[t].first;
        if (target == nullptr)
            continue;
        *target = QImage();
        if (holder.isNull())
            continue;
        if (drawing && drawing->hasTint(wanted[t].second)) {
            QImage rendered = glyphOnWhite(drawing->render(scale, wanted[t].second));
            if (rendered.size() == holder.size()) {
                *target = std::move(rendered);
                continue;
            }
        }
        *target = QImage(holder.size(), QImage::Format_RGB32);
        byPixels[t] = target->isNull() ? nullptr : target;
    }
    if (std::all_of(byPixels.begin(), byPixels.end(), [](QImage *t) { return t == nullptr; }))
        return;
    const QImage source = holder.convertToFormat(QImage::Format_RGB32);
    QRgb last = 0;
    std::array<QRgb, 3> tinted{};
    bool known = false;
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        std::array<QRgb *, 3> out{};
        for (std::size_t t = 0; t < out.size(); ++t)
            out[t] = byPixels[t] ? reinterpret_cast<QRgb *>(byPixels[t]->scanLine(y)) : nullptr;
        for (int x = 0; x < source.width(); ++x) {
            if (!known || in[x] != last) {
                last = in[x];
                tinted = {pale.recolour(last), pale.recolourRed(last), grey.recolour(last)};
                known = true;
            }
            for (std::size_t t = 0; t < out.size(); ++t)
                if (out[t] != nullptr)
                    out[t][x] = tinted[t];
        }
    }
}

// The pale, pale red and grey holders of the set's holders; the weekday names have no grey.
void addTintedHolders(GlyphSet &glyphs)
{
    for (std::size_t d = 0; d < glyphs.picChisla.size(); ++d)
        tintHolder(glyphs.picChisla[d], glyphs.vectorDigits[d], glyphs.scale,
                   {&glyphs.paleDigits[d], &glyphs.paleRedDigits[d], &glyphs.greyDigits[d]});
    for (std::size_t w = 0; w < glyphs.picDniNedeli.size(); ++w)
        tintHolder(glyphs.picDniNedeli[w], glyphs.vectorWeekdays[w], glyphs.scale,
                   {&glyphs.paleWeekdays[w], &glyphs.paleRedWeekdays[w], nullptr});
}

// The holders as a load leaves them: the images it read, the others as they were in `before`
// (empty when there was none); the titles of a complete load, else those of `before`. The
// tinted holders are those of `before`, for the caller to build again when it builds the red
// variants again.
std::shared_ptr<GlyphSet> shareLoad(const GlyphLoad &images, RedVariants red,
                                    qint32 ProverkaRazmerov, const GlyphSet *before)
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
        glyphs.monthTitles = before->monthTitles;
        glyphs.titlesAlpha = before->titlesAlpha;
        glyphs.vectorTitles = before->vectorTitles;
        glyphs.missingTitle = before->missingTitle;
        glyphs.paleDigits = before->paleDigits;
        glyphs.paleRedDigits = before->paleRedDigits;
        glyphs.greyDigits = before->greyDigits;
        glyphs.paleWeekdays = before->paleWeekdays;
        glyphs.paleRedWeekdays = before->paleRedWeekdays;
    }
    const auto take = [](const auto &from, auto &to) {
        for (std::size_t i = 0; i < std::min(from.size(), to.size()); ++i)
            to[i] = from[i];
    };
    take(images.digitsAlpha, glyphs.digitsAlpha);
    take(images.weekdaysAlpha, glyphs.weekdaysAlpha);
    take(images.vectorDigits, glyphs.vectorDigits);
    take(images.vectorWeekdays, glyphs.vectorWeekdays);
    if (images.complete) {
        glyphs.monthTitles = images.titles;
        glyphs.titlesAlpha = images.titlesAlpha;
        glyphs.vectorTitles = images.vectorTitles;
        glyphs.missingTitle = images.missingTitle;
    }
    for (std::size_t m = 0; m < glyphs.monthTitles.size(); ++m)
        glyphs.ink.titles[m] = inkOf(glyphs.monthTitles[m]);
    return shared;
}

} // namespace

SharedGlyphs buildGlyphSet(const GlyphLoad &load, qint32 ProverkaRazmerov,
                           const SharedGlyphs &before, const LetEventsRun &letEventsRun)
{
    auto red = buildRedVariants(load, isSizeCheck(ProverkaRazmerov), letEventsRun);
    if (!red)
        return nullptr;
    // The window lets events run above, so its set is taken only now.
    auto glyphs = shareLoad(load, std::move(*red), ProverkaRazmerov, before.get());
    addTintedHolders(*glyphs);
    return glyphs;
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
    auto glyphs =
        makeGlyphs(picChisla, picDniNedeli, RedVariants{std::move(Tsifry), std::move(DniNedeli)},
                   ProverkaRazmerov);
    addTintedHolders(*glyphs);
    return glyphs;
}

SharedGlyphs glyphsAtScale(const SharedGlyphs &glyphs, double scale)
{
    if (!glyphs || glyphs->kind != GlyphKind::Vector || scale == 1.0)
        return glyphs;
    GlyphLoad images;
    images.kind = GlyphKind::Vector;
    images.scale = scale;
    images.complete = true;
    images.missingTitle = glyphs->missingTitle;
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
    const std::size_t holderCount = drawings.size();
    std::vector<std::size_t> titleMonths;
    for (std::size_t m = 0; m < glyphs->vectorTitles.size(); ++m) {
        if (glyphs->vectorTitles[m]) {
            drawings.push_back(&*glyphs->vectorTitles[m]);
            titleMonths.push_back(m);
        }
    }
    const std::vector<SvgGlyph> again = SvgGlyph::atScale(drawings, scale);
    if (again.size() != drawings.size())
        return nullptr;
    for (std::size_t i = 0; i < again.size(); ++i) {
        ReadGlyph glyph = fromDrawing(again[i], scale);
        if (glyph.onWhite.isNull())
            return nullptr;
        if (i >= holderCount) {
            const std::size_t m = titleMonths[i - holderCount];
            images.titles[m] = std::move(glyph.onWhite);
            images.titlesAlpha[m] = std::move(glyph.alpha);
            images.vectorTitles[m] = again[i];
            continue;
        }
        const bool weekday = i >= digitCount;
        (weekday ? images.weekdays : images.digits).push_back(std::move(glyph.onWhite));
        (weekday ? images.weekdaysAlpha : images.digitsAlpha).push_back(std::move(glyph.alpha));
        (weekday ? images.vectorWeekdays : images.vectorDigits).push_back(again[i]);
    }
    return buildGlyphSet(images, glyphs->ProverkaRazmerov);
}

std::optional<GlyphSet> recordedAt(const GlyphSet &glyphs, int dpi)
{
    const auto first = glyphs.vectorDigits[0];
    if (glyphs.kind != GlyphKind::Vector || !first ||
        dpi <= std::lround(first->recordScale() * 96.0))
        return std::nullopt;
    GlyphSet finer = glyphs;
    std::vector<std::optional<SvgGlyph> *> places;
    for (auto &drawing : finer.vectorDigits)
        places.push_back(&drawing);
    for (auto &drawing : finer.vectorWeekdays)
        places.push_back(&drawing);
    for (auto &drawing : finer.vectorTitles)
        places.push_back(&drawing);
    std::erase_if(places, [](const std::optional<SvgGlyph> *drawing) { return !*drawing; });
    std::vector<const SvgGlyph *> drawings;
    for (const auto *drawing : places)
        drawings.push_back(&**drawing);
    const std::vector<SvgGlyph> again = SvgGlyph::atScale(drawings, glyphs.scale, dpi);
    if (again.size() != drawings.size())
        return std::nullopt;
    for (std::size_t i = 0; i < places.size(); ++i)
        *places[i] = again[i];
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
