#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace vexilo::test {

class TempAppFolder;

// A GIF of up to four colours, as a camera or an editor would never write it but every
// decoder must read it: no compression, a clear code before each pixel. Fewer pixels than
// width × height make a file whose image data stop early; transparent = -1 for none.
QByteArray gifBytes(int width, int height, const std::array<QRgb, 4> &palette,
                    const std::vector<quint8> &pixels, int transparent = -1);

QByteArray pngBytes(const QImage &image);

// The colour every pixel but the bottom-right one (white) has in glyph `index` of set `tag`:
// digits are 0..9, weekdays 10..16.
QRgb glyphInk(int tag, int index);

// A glyph image as the test sets use it.
QImage testGlyph(QSize size, QRgb ink);

// Writes the 17 glyphs of a set, as PNG files named ".gif", into the folder `name` of the
// application folder, leaving out the files listed in `skip`.
void writeGlyphSet(const TempAppFolder &app, const QString &name, int tag, QSize digitSize,
                   QSize weekdaySize, const QStringList &skip = {});

} // namespace vexilo::test
