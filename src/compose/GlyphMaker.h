#pragma once

#include "common/SafeFile.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QString>

#include <array>
#include <optional>

namespace vexilo {

// How a glyph set is drawn from a font.
struct GlyphStyle
{
    QString family;
    int pixelSize = 40;
    bool bold = false;
    QColor color = Qt::black;
};

inline constexpr int kMinGlyphFontSize = 6;
inline constexpr int kMaxGlyphFontSize = 300;

// The seventeen images of a set, transparent around the ink.
struct MadeGlyphs
{
    std::array<QImage, 10> digits;  // "0" .. "9"
    std::array<QImage, 7> weekdays; // "Пн" .. "Вс"
};

// The family as the font database spells it, matched regardless of case; nothing when no
// installed font has that name. Needs a QGuiApplication.
std::optional<QString> installedFontFamily(const QString &family);

// "#RRGGBB" and nothing else.
std::optional<QColor> colorFromHex(const QString &text);

// Draws the digits and the weekday names. Every digit gets the box of the widest digit ink
// and every name the box of the widest name, all of one height, with the ink centred and a
// white margin around it that keeps the numbers of neighbouring days apart on a sheet.
MadeGlyphs makeGlyphs(const GlyphStyle &style);

// The white margins around the ink for a font size in pixels. The sides stay narrow: the
// sheet's own gaps ("Числа X" inside a day, "Даты X" between days) must keep their contrast,
// and a side margin adds to both. Above and below there is more room, which the rows can use.
QMargins glyphMargins(int pixelSize);

// A preview of a made set on white as a sheet shows it at the default spacings: the days
// 1 … 16 and 17 … 31 on two lines, then "Пн" … "Вс" with Saturday and Sunday in the holiday
// red.
QImage glyphPreview(const MadeGlyphs &glyphs);

// Writes the seventeen GIF files into `folder` through writeFolderSafely: a new folder appears
// whole, with its parents made when missing. An existing folder is written into only when
// `replace` is set and it holds nothing but glyph files of these names ("0.gif" … "Вс.gif");
// anything else in it, the home folder, a link or a folder that cannot be listed is refused and
// left as it is, and a failed write leaves the old set as it was.
SafeWriteResult writeMadeGlyphs(const MadeGlyphs &glyphs, const QString &folder, bool replace,
                                const SafeWriteOptions &options = {});

} // namespace vexilo
