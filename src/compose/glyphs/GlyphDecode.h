#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vexilo {

// A glyph image larger than this on either side is refused before it is decoded: a calendar
// glyph is tens of pixels, and a damaged or hostile file must not take gigabytes.
inline constexpr int kMaxGlyphSide = 4096;
// Nor may it hold more pixels than this. A digit of a million pixels is already too big for a
// year sheet, and the limit keeps decoding and tinting a set to a fraction of a second even
// for a file made to be as large as allowed.
inline constexpr qint64 kMaxGlyphPixels = qint64(1) << 20;

// One glyph image decoded by its content whatever its name says, as Format_RGB32 with
// transparent pixels composited onto white. A null image when the file is missing, not an
// image, damaged, empty, or larger than kMaxGlyphSide or kMaxGlyphPixels.
QImage readGlyphImage(const QString &path);
// The same for the bytes of a file already read.
QImage decodeGlyphImage(const QByteArray &bytes);

// The bytes of a glyph file: regular files only (a folder, a pipe or a device named like a
// glyph would fail or block the read), within the size a glyph can have.
std::optional<QByteArray> glyphFileBytes(const QString &path);
// The decoded image as the file holds it; null as for decodeGlyphImage.
QImage decodeGlyphAsIs(const QByteArray &bytes);
// The image opaque (Format_RGB32), partly transparent pixels blended onto white.
QImage glyphOnWhite(const QImage &decoded);
// A premultiplied copy keeping the decoded transparency; null for an opaque image.
QImage glyphAlpha(const QImage &decoded);

} // namespace vexilo
