#include "GlyphMaker.h"

#include "common/ProgramText.h"
#include "common/SafeFolder.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/maker/GifWriter.h"
#include "compose/maker/SvgGlyphWriter.h"
#include "compose/tints/HolidayTint.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace vexilo {

namespace {

// One text drawn on a scratch image large enough for any font, with the rectangle its ink
// covers. The baseline lies at the same height for every text, so ink tops and bottoms of
// different texts compare directly.
struct Drawn
{
    QImage image;
    QRect ink; // empty when the font drew nothing
};

// Where the baseline of every text starts on the scratch image.
QPoint textOrigin(int pixelSize)
{
    return {pixelSize, 2 * pixelSize + 8};
}

Drawn drawText(const QString &text, const QFont &font, const QColor &color, int pixelSize)
{
    const int side = 4 * pixelSize + 16;
    Drawn drawn{QImage(side * static_cast<int>(text.size()), side, QImage::Format_ARGB32), {}};
    drawn.image.fill(Qt::transparent);
    {
        QPainter painter(&drawn.image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(textOrigin(pixelSize), text);
    }
    int left = drawn.image.width(), right = -1, top = drawn.image.height(), bottom = -1;
    for (int y = 0; y < drawn.image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(drawn.image.constScanLine(y));
        for (int x = 0; x < drawn.image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right >= 0)
        drawn.ink = QRect(QPoint(left, top), QPoint(right, bottom));
    return drawn;
}

// Where the ink of a text goes in a box of the common size: centred across it, and vertically
// at its place against the common baseline.
QPoint inkPlace(const Drawn &drawn, int boxWidth, int inkTop, int topMargin)
{
    return {(boxWidth - drawn.ink.width()) / 2, topMargin + drawn.ink.top() - inkTop};
}

QImage placeInBox(const Drawn &drawn, int boxWidth, int boxHeight, int inkTop, int topMargin)
{
    QImage box(boxWidth, boxHeight, QImage::Format_ARGB32);
    box.fill(Qt::transparent);
    if (drawn.ink.isEmpty())
        return box;
    QPainter painter(&box);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(inkPlace(drawn, boxWidth, inkTop, topMargin), drawn.image, drawn.ink);
    return box;
}

// The text's outline moved by what moves its drawn ink into the box, so that filled it covers
// the pixels of the picture.
QPainterPath outlineInBox(const QString &text, const QFont &font, int pixelSize, const Drawn &drawn,
                          int boxWidth, int inkTop, int topMargin)
{
    QPainterPath outline;
    if (drawn.ink.isEmpty())
        return outline;
    // Font contours may overlap (a stroke drawn over a bowl); they mean the union, as Qt
    // fills them when it draws text from outlines.
    outline.setFillRule(Qt::WindingFill);
    outline.addText(textOrigin(pixelSize), font, text);
    outline.translate(inkPlace(drawn, boxWidth, inkTop, topMargin) - drawn.ink.topLeft());
    return outline;
}

// The hidden folders the previous way of writing left beside a set, ".Name-XXXXXX" and
// ".Name-XXXXXX-old"; they are removed like the staging folders of today once stale and
// holding nothing but glyph files.
void removeOldStagingFolders(const QString &parent, const QString &name,
                             const QStringList &glyphNames)
{
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("\\.") + QRegularExpression::escape(name) +
        QStringLiteral("-[A-Za-z0-9]{6}(-old)?")));
    const QStringList entries =
        QDir(parent).entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &entry : entries)
        if (pattern.match(entry).hasMatch())
            removeStaleFolder(parent + u'/' + entry, glyphNames);
}

MadeGlyphFiles otherKind(MadeGlyphFiles kind)
{
    return kind == MadeGlyphFiles::Svg ? MadeGlyphFiles::Gif : MadeGlyphFiles::Svg;
}

// The first file of a set of the other kind in an existing folder. Replacing it with a set of
// this kind would leave both in one folder, and the folder check alone would name a glyph file
// as if it were a stranger.
std::optional<QString> otherKindIn(const QString &folder, const QStringList &otherNames)
{
    const QFileInfo info(folder);
    if (info.isSymLink() || !info.isDir())
        return std::nullopt;
    for (const QString &name : otherNames)
        if (QFileInfo(folder + u'/' + name).exists() || QFileInfo(folder + u'/' + name).isSymLink())
            return name;
    return std::nullopt;
}

// The month titles, measured apart from the digits and names: a title box is as wide as its
// own ink, and the titles share their height and baseline.
void makeTitles(MadeGlyphs &made, const QFont &font, int pixelSize, bool capitals)
{
    std::array<QString, 12> texts;
    std::array<Drawn, 12> drawn;
    int inkTop = std::numeric_limits<int>::max(), inkBottom = std::numeric_limits<int>::min();
    for (std::size_t m = 0; m < texts.size(); ++m) {
        texts[m] = monthNames().value(qsizetype(m));
        if (capitals)
            texts[m] = texts[m].toUpper();
        drawn[m] = drawText(texts[m], font, made.ink, pixelSize);
        if (!drawn[m].ink.isEmpty()) {
            inkTop = std::min(inkTop, drawn[m].ink.top());
            inkBottom = std::max(inkBottom, drawn[m].ink.bottom());
        }
    }
    const QMargins margins = glyphMargins(pixelSize);
    const int height =
        (inkBottom >= inkTop ? inkBottom - inkTop + 1 : 1) + margins.top() + margins.bottom();
    for (std::size_t m = 0; m < texts.size(); ++m) {
        const int width = std::max(1, drawn[m].ink.width()) + margins.left() + margins.right();
        made.titles[m] = placeInBox(drawn[m], width, height, inkTop, margins.top());
        made.titleOutlines[m] =
            outlineInBox(texts[m], font, pixelSize, drawn[m], width, inkTop, margins.top());
    }
}

// The picture and the outline of file `index` in the order of madeGlyphFileNames.
const QImage &madeImage(const MadeGlyphs &glyphs, std::size_t index)
{
    if (index < 10)
        return glyphs.digits[index];
    return index < 17 ? glyphs.weekdays[index - 10] : glyphs.titles[index - 17];
}

const QPainterPath &madeOutline(const MadeGlyphs &glyphs, std::size_t index)
{
    if (index < 10)
        return glyphs.digitOutlines[index];
    return index < 17 ? glyphs.weekdayOutlines[index - 10] : glyphs.titleOutlines[index - 17];
}

} // namespace

std::optional<QString> installedFontFamily(const QString &family)
{
    const QString wanted = family.trimmed();
    const QStringList families = QFontDatabase::families();
    for (const QString &known : families)
        if (known.compare(wanted, Qt::CaseInsensitive) == 0)
            return known;
    // A family installed by several foundries is listed once per foundry, as "Name [foundry]".
    for (const QString &known : families) {
        const qsizetype bracket = known.lastIndexOf(QStringLiteral(" ["));
        if (bracket > 0 && known.endsWith(QLatin1Char(']')) &&
            known.left(bracket).compare(wanted, Qt::CaseInsensitive) == 0)
            return known;
    }
    return std::nullopt;
}

std::optional<QColor> colorFromHex(const QString &text)
{
    // Anchored at both ends: "$" alone would let a trailing line break through.
    static const QRegularExpression hex(
        QRegularExpression::anchoredPattern(QStringLiteral("#[0-9A-Fa-f]{6}")));
    if (!hex.match(text).hasMatch())
        return std::nullopt;
    return QColor::fromString(text);
}

QMargins glyphMargins(int pixelSize)
{
    const int side = pixelSize / 32;
    const int topBottom = std::max(1, (pixelSize + 3) / 6);
    return {side, topBottom, side, topBottom};
}

MadeGlyphs makeGlyphs(const GlyphStyle &style)
{
    const int pixelSize = std::clamp(style.pixelSize, kMinGlyphFontSize, kMaxGlyphFontSize);
    QFont font(style.family);
    font.setPixelSize(pixelSize);
    font.setBold(style.bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    QColor ink = style.color;
    ink.setAlpha(255);

    std::array<Drawn, 10> digits;
    std::array<Drawn, 7> weekdays;
    for (int d = 0; d < 10; ++d)
        digits[static_cast<std::size_t>(d)] = drawText(QString::number(d), font, ink, pixelSize);
    for (std::size_t w = 0; w < 7; ++w)
        weekdays[w] = drawText(weekdayNames()[w], font, ink, pixelSize);

    int inkTop = std::numeric_limits<int>::max(), inkBottom = std::numeric_limits<int>::min();
    int digitWidth = 1, weekdayWidth = 1;
    const auto measure = [&](const Drawn &drawn, int &width) {
        if (drawn.ink.isEmpty())
            return;
        inkTop = std::min(inkTop, drawn.ink.top());
        inkBottom = std::max(inkBottom, drawn.ink.bottom());
        width = std::max(width, drawn.ink.width());
    };
    for (const Drawn &drawn : digits)
        measure(drawn, digitWidth);
    for (const Drawn &drawn : weekdays)
        measure(drawn, weekdayWidth);
    const int inkHeight = inkBottom >= inkTop ? inkBottom - inkTop + 1 : 1;

    const QMargins margins = glyphMargins(pixelSize);
    const int height = inkHeight + margins.top() + margins.bottom();
    const int sides = margins.left() + margins.right();
    MadeGlyphs made;
    made.ink = ink;
    for (std::size_t d = 0; d < 10; ++d) {
        made.digits[d] = placeInBox(digits[d], digitWidth + sides, height, inkTop, margins.top());
        made.digitOutlines[d] = outlineInBox(QString::number(d), font, pixelSize, digits[d],
                                             digitWidth + sides, inkTop, margins.top());
    }
    for (std::size_t w = 0; w < 7; ++w) {
        made.weekdays[w] =
            placeInBox(weekdays[w], weekdayWidth + sides, height, inkTop, margins.top());
        made.weekdayOutlines[w] = outlineInBox(weekdayNames()[w], font, pixelSize, weekdays[w],
                                               weekdayWidth + sides, inkTop, margins.top());
    }
    makeTitles(made, font, pixelSize, style.capitalTitles);
    return made;
}

QImage glyphPreview(const MadeGlyphs &glyphs)
{
    constexpr int kDigitGap = 3; // "Числа X"
    constexpr int kDayGap = 10;  // "Даты X"
    constexpr int kRowGap = 5;   // "Даты Y"
    const QSize digit = glyphs.digits[0].size();
    const QSize weekday = glyphs.weekdays[0].size();
    const int dayWidth = 2 * digit.width() + kDigitGap;
    // The January title stands above the days, as a sheet with titles shows it.
    const QImage &title = glyphs.titles[0];
    const int top = title.isNull() ? 0 : title.height() + kRowGap;
    const int width = std::max({16 * (dayWidth + kDayGap) - kDayGap,
                                7 * (weekday.width() + kDayGap) - kDayGap, title.width()});
    const int height = top + 3 * digit.height() + 2 * kRowGap;
    QImage preview(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    if (!title.isNull())
        painter.drawImage(0, 0, title);
    for (int day = 1; day <= 31; ++day) {
        const int column = (day - 1) % 16;
        const int x = column * (dayWidth + kDayGap);
        const int y = top + (day - 1) / 16 * (digit.height() + kRowGap);
        if (day >= 10)
            painter.drawImage(x, y, glyphs.digits[static_cast<std::size_t>(day / 10)]);
        painter.drawImage(x + digit.width() + kDigitGap, y,
                          glyphs.digits[static_cast<std::size_t>(day % 10)]);
    }
    const HolidayTint tint;
    for (std::size_t w = 0; w < 7; ++w) {
        QImage name(weekday, QImage::Format_RGB32);
        name.fill(Qt::white);
        QPainter(&name).drawImage(0, 0, glyphs.weekdays[w]);
        if (w >= 5)
            for (int y = 0; y < name.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(name.scanLine(y));
                for (int x = 0; x < name.width(); ++x)
                    line[x] = tint.recolour(line[x]);
            }
        painter.drawImage(static_cast<int>(w) * (weekday.width() + kDayGap),
                          top + 2 * (digit.height() + kRowGap), name);
    }
    return preview;
}

std::optional<SafeWriteResult> otherKindRefusal(const QString &folder, MadeGlyphFiles kind)
{
    const std::optional<QString> other = otherKindIn(folder, madeGlyphFileNames(otherKind(kind)));
    if (!other)
        return std::nullopt;
    return refusedWrite(folder,
                        QStringLiteral("В папке набор другого вида (есть «%1»); набор из файлов %2 "
                                       "записывается только в папку без него.")
                            .arg(*other, kind == MadeGlyphFiles::Svg ? QStringLiteral("SVG")
                                                                     : QStringLiteral("GIF")));
}

SafeWriteResult writeMadeGlyphs(const MadeGlyphs &glyphs, const QString &folder, bool replace,
                                const SafeWriteOptions &options, MadeGlyphFiles kind)
{
    const QStringList names = madeGlyphFileNames(kind);
    if (replace)
        if (std::optional<SafeWriteResult> refused = otherKindRefusal(folder, kind))
            return *refused;
    // Every file is encoded before the first one is touched.
    std::vector<FolderFile> files;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        QByteArray bytes;
        if (kind == MadeGlyphFiles::Svg) {
            bytes = encodeSvgGlyph(madeOutline(glyphs, index), madeImage(glyphs, index).size(),
                                   glyphs.ink);
        } else {
            GifEncoding gif = encodeGif(madeImage(glyphs, index));
            if (gif.bytes.isEmpty()) {
                SafeWriteResult failed;
                failed.ok = false;
                failed.path = folder + u'/' + names[i];
                failed.errorString = gif.error;
                return failed;
            }
            bytes = std::move(gif.bytes);
        }
        files.push_back({names[i], [bytes = std::move(bytes)](QIODevice &device) {
                             return device.write(bytes) == bytes.size();
                         }});
    }
    const QFileInfo target(folder);
    if (!target.fileName().isEmpty() && target.dir().exists())
        removeOldStagingFolders(target.absolutePath(), target.fileName(), names);
    return writeFolderSafely(
        folder, files, replace ? ExistingFolder::ReplaceOwnFiles : ExistingFolder::Refuse, options);
}

QStringList madeGlyphFileNames(MadeGlyphFiles kind)
{
    const GlyphKind read = kind == MadeGlyphFiles::Svg ? GlyphKind::Vector : GlyphKind::Raster;
    QStringList names;
    for (int d = 0; d < 10; ++d)
        names.append(digitFileName(d, read));
    for (const QString &name : weekdayFileNames(read))
        names.append(name);
    for (int m = 0; m < 12; ++m)
        names.append(monthTitleFileName(m, read));
    return names;
}

} // namespace vexilo
