#include "GlyphMaker.h"

#include "common/ProgramText.h"
#include "common/SafeFolder.h"
#include "compose/GifWriter.h"
#include "compose/GlyphSet.h"
#include "compose/HolidayTint.h"

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
        painter.drawText(QPoint(pixelSize, 2 * pixelSize + 8), text);
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

// The ink of each text copied into a box of the common size, centred across it; vertically
// every text keeps its place against the common baseline.
QImage placeInBox(const Drawn &drawn, int boxWidth, int boxHeight, int inkTop, int topMargin)
{
    QImage box(boxWidth, boxHeight, QImage::Format_ARGB32);
    box.fill(Qt::transparent);
    if (drawn.ink.isEmpty())
        return box;
    QPainter painter(&box);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QPoint at((boxWidth - drawn.ink.width()) / 2, topMargin + drawn.ink.top() - inkTop);
    painter.drawImage(at, drawn.image, drawn.ink);
    return box;
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
    for (std::size_t d = 0; d < 10; ++d)
        made.digits[d] = placeInBox(digits[d], digitWidth + sides, height, inkTop, margins.top());
    for (std::size_t w = 0; w < 7; ++w)
        made.weekdays[w] =
            placeInBox(weekdays[w], weekdayWidth + sides, height, inkTop, margins.top());
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
    const int width =
        std::max(16 * (dayWidth + kDayGap) - kDayGap, 7 * (weekday.width() + kDayGap) - kDayGap);
    const int height = 3 * digit.height() + 2 * kRowGap;
    QImage preview(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    for (int day = 1; day <= 31; ++day) {
        const int column = (day - 1) % 16;
        const int x = column * (dayWidth + kDayGap);
        const int y = (day - 1) / 16 * (digit.height() + kRowGap);
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
                          2 * (digit.height() + kRowGap), name);
    }
    return preview;
}

SafeWriteResult writeMadeGlyphs(const MadeGlyphs &glyphs, const QString &folder, bool replace,
                                const SafeWriteOptions &options)
{
    std::vector<std::pair<QString, const QImage *>> images;
    for (int d = 0; d < 10; ++d)
        images.emplace_back(digitFileName(d), &glyphs.digits[static_cast<std::size_t>(d)]);
    for (std::size_t w = 0; w < 7; ++w)
        images.emplace_back(weekdayFileNames()[w], &glyphs.weekdays[w]);
    // Every picture is encoded before the first file is touched.
    std::vector<FolderFile> files;
    QStringList names;
    for (const auto &[name, image] : images) {
        GifEncoding gif = encodeGif(*image);
        if (gif.bytes.isEmpty()) {
            SafeWriteResult failed;
            failed.ok = false;
            failed.path = folder + u'/' + name;
            failed.errorString = gif.error;
            return failed;
        }
        files.push_back({name, [bytes = std::move(gif.bytes)](QIODevice &device) {
                             return device.write(bytes) == bytes.size();
                         }});
        names.append(name);
    }
    const QFileInfo target(folder);
    if (!target.fileName().isEmpty() && target.dir().exists())
        removeOldStagingFolders(target.absolutePath(), target.fileName(), names);
    return writeFolderSafely(
        folder, files, replace ? ExistingFolder::ReplaceOwnFiles : ExistingFolder::Refuse, options);
}

} // namespace vexilo
