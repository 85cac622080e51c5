#include "PixelPainter.h"

#include "compose/glyphs/GlyphInk.h"
#include "compose/tints/clsPixel.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <limits>

namespace vexilo {

void copyGlyph(QImage &canvas, const QImage &glyph, qint64 x, qint64 y)
{
    if (glyph.isNull() || canvas.isNull())
        return;
    if (glyph.format() != QImage::Format_RGB32) {
        copyGlyph(canvas, glyph.convertToFormat(QImage::Format_RGB32), x, y);
        return;
    }
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 right = std::min<qint64>(x + glyph.width(), canvas.width());
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 bottom = std::min<qint64>(y + glyph.height(), canvas.height());
    if (left >= right || top >= bottom)
        return;
    // Row pointers are taken once: this runs for every digit of a sheet.
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(QRgb);
    const qsizetype fromStride = glyph.bytesPerLine();
    const qsizetype toStride = canvas.bytesPerLine();
    const uchar *from =
        glyph.constBits() + (top - y) * fromStride + (left - x) * qint64(sizeof(QRgb));
    uchar *to = canvas.bits() + top * toStride + left * qint64(sizeof(QRgb));
    for (qint64 row = top; row < bottom; ++row, from += fromStride, to += toStride)
        std::memcpy(to, from, bytes);
}

namespace {

class OpaquePainter
{
public:
    OpaquePainter(QImage &canvas, const GlyphSet &glyphs, bool inkOnly)
        : m_canvas(canvas), m_inked(canvas.height()), m_glyphs(glyphs), m_inkOnly(inkOnly)
    {}

    void paint(const GlyphPlace &place, qint64 y)
    {
        if (!isDescribedGlyph(place)) [[unlikely]] {
            tintedOrTitle(place, y);
            return;
        }
        const std::size_t i = place.index;
        if (place.weekday()) {
            if (place.red())
                bitmap(m_glyphs.DniNedeli, i - 5, place.x, y);
            else if (i < m_glyphs.picDniNedeli.size())
                glyph(m_glyphs.picDniNedeli[i], m_glyphs.ink.weekdays[i], place.x, y);
        } else if (place.red()) {
            bitmap(m_glyphs.Tsifry, i, place.x, y);
        } else if (i < m_glyphs.picChisla.size()) {
            glyph(m_glyphs.picChisla[i], m_glyphs.ink.digits[i], place.x, y);
        }
    }

private:
    // Tinted holders and titles are images like the holders, copied the same way; apart from
    // the described glyphs' path, which stays as lean as it was.
    [[gnu::noinline]] void tintedOrTitle(const GlyphPlace &place, qint64 y)
    {
        const HeldGlyph held = heldGlyph(m_glyphs, place);
        if (held.image != nullptr)
            glyph(*held.image, *held.ink, place.x, y);
    }

    void glyph(const QImage &image, const GlyphInk &ink, qint64 x, qint64 y)
    {
        if (m_inkOnly)
            m_inked.copy(m_canvas, image, ink, x, y);
        else
            copyGlyph(m_canvas, image, x, y);
    }

    void bitmap(const std::vector<clsPixel> &bitmaps, std::size_t index, qint64 x, qint64 y)
    {
        if (index >= bitmaps.size())
            return;
        // Positions beyond the 32-bit range are off any canvas anyway.
        constexpr qint64 low = std::numeric_limits<qint32>::min();
        constexpr qint64 high = std::numeric_limits<qint32>::max();
        if (x >= low && x <= high && y >= low && y <= high)
            RisovatPixel(m_canvas, bitmaps[index], static_cast<qint32>(x), static_cast<qint32>(y));
        m_inked.covered(x, x + qint64(bitmaps[index].Width) + 1, y,
                        y + qint64(bitmaps[index].Height) + 1);
    }

    QImage &m_canvas;
    InkedRows m_inked; // the canvas starts white
    const GlyphSet &m_glyphs;
    bool m_inkOnly;
};

} // namespace

void paintCanvas(QImage &white, const CanvasPlan &canvas, const GlyphSet &glyphs, qint64 top,
                 bool inkOnly)
{
    OpaquePainter painter(white, glyphs, inkOnly);
    for (const GlyphPlace &place : canvas.places)
        painter.paint(place, place.y - top);
}

void paintTransparent(QImage &clear, const CanvasPlan &canvas, const GlyphPictures &pictures,
                      qint64 top)
{
    QPainter painter(&clear);
    for (const GlyphPlace &place : canvas.places) {
        const qint64 y = place.y - top;
        const QImage &picture = pictures.of(place);
        if (y >= clear.height() || y + picture.height() <= 0 || place.x >= clear.width() ||
            place.x + picture.width() <= 0)
            continue;
        painter.drawImage(QPoint(static_cast<int>(place.x), static_cast<int>(y)), picture);
    }
}

} // namespace vexilo
