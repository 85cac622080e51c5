#pragma once

#include "common/SafeFile.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QString>
#include <QStringList>

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
    bool capitalTitles = false; // month titles in capitals: «ЯНВАРЬ»
};

inline constexpr int kMinGlyphFontSize = 6;
inline constexpr int kMaxGlyphFontSize = 300;

// The files a set made from a font is written as.
enum class MadeGlyphFiles {
    Gif, // pictures, as the program has always read them
    Svg, // vector outlines, which need no font where they are drawn
};

// The twenty-nine images of a set, transparent around the ink, and the same glyphs as outlines
// placed in the same boxes, to be filled with `ink`.
struct MadeGlyphs
{
    std::array<QImage, 10> digits;  // "0" .. "9"
    std::array<QImage, 7> weekdays; // "Пн" .. "Вс"
    std::array<QImage, 12> titles;  // "Январь" .. "Декабрь"
    std::array<QPainterPath, 10> digitOutlines;
    std::array<QPainterPath, 7> weekdayOutlines;
    std::array<QPainterPath, 12> titleOutlines;
    QColor ink;
};

// The family as the font database spells it, matched regardless of case; nothing when no
// installed font has that name. Needs a QGuiApplication.
std::optional<QString> installedFontFamily(const QString &family);

// "#RRGGBB" and nothing else.
std::optional<QColor> colorFromHex(const QString &text);

// Draws the digits, the weekday names and the month titles. Every digit gets the box of the
// widest digit ink and every name the box of the widest name, all of one height, with the ink
// centred and a white margin around it that keeps the numbers of neighbouring days apart on a
// sheet. Each title gets a box of its own ink's width with the same margins, all titles of one
// height and baseline, so that they align to the left, centre or right alike.
MadeGlyphs makeGlyphs(const GlyphStyle &style);

// The white margins around the ink for a font size in pixels. The sides stay narrow: the
// sheet's own gaps ("Числа X" inside a day, "Даты X" between days) must keep their contrast,
// and a side margin adds to both. Above and below there is more room, which the rows can use.
QMargins glyphMargins(int pixelSize);

// A preview of a made set on white as a sheet shows it at the default spacings: the January
// title, the days 1 … 16 and 17 … 31 on two lines, then "Пн" … "Вс" with Saturday and Sunday
// in the holiday red.
QImage glyphPreview(const MadeGlyphs &glyphs);

// Writes the twenty-nine files of `kind` into `folder` through writeFolderSafely: a new folder
// appears whole, with its parents made when missing. An existing folder is written into only
// when `replace` is set and it holds nothing but glyph files of these names ("0.gif" … "Вс.gif"
// and "Январь.gif" … "Декабрь.gif", or the same on ".svg"), a set without titles included;
// anything else in it, a set of the other kind, the home folder, a link
// or a folder that cannot be listed is refused and left as it is, and a failed write leaves the
// old set as it was. An SVG file holds the glyph's outline in the box of its picture.
SafeWriteResult writeMadeGlyphs(const MadeGlyphs &glyphs, const QString &folder, bool replace,
                                const SafeWriteOptions &options = {},
                                MadeGlyphFiles kind = MadeGlyphFiles::Gif);

// The refusal writeMadeGlyphs gives when `folder` holds a set of the other kind, to be told
// before the user is asked whether to replace the set.
std::optional<SafeWriteResult> otherKindRefusal(const QString &folder, MadeGlyphFiles kind);

// The names of the twenty-nine files of a kind: the digits, then "Пн" … "Вс", then the month
// titles "Январь" … "Декабрь".
QStringList madeGlyphFileNames(MadeGlyphFiles kind);

} // namespace vexilo
