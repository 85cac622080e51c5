#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>

#include <array>
#include <memory>
#include <optional>

using cairo_t = struct _cairo;

namespace vexilo {

// An SVG file may be larger than a GIF glyph: drawings exported by design programs carry
// metadata, but a calendar glyph is never megabytes of paths.
inline constexpr qint64 kMaxSvgGlyphBytes = qint64(8) << 20;

// One glyph drawn as vectors: the document as read, its holiday variant with every colour
// tinted, and its size in CSS pixels (1/96 inch). Immutable, so sheets drawn side by side may
// share it; each drawing parses its own copy, as librsvg handles are not for threads.
class SvgGlyph
{
public:
    // The drawing, or nothing when the bytes are no SVG librsvg can draw, it has no size of its
    // own (width and height, or a viewBox), or it is empty or too large for a glyph.
    static std::optional<SvgGlyph> fromBytes(const QByteArray &svg);
    // The same for a regular file of at most kMaxSvgGlyphBytes.
    static std::optional<SvgGlyph> read(const QString &path);

    // Rounded to whole pixels: the glyph box the layout uses.
    QSize size() const { return m_size; }
    QSizeF exactSize() const { return m_exact; }

    // The drawing at `scale` pixels per CSS pixel, in a premultiplied image of the box's size at
    // that scale, transparent where it has no ink. A null image if librsvg fails. At scale 1,
    // the renderings made when the drawing was read.
    QImage render(double scale, bool holiday) const;
    // Draws the document with its top left corner at the context's origin, one unit per CSS
    // pixel; the caller clips to the box. False if librsvg fails.
    bool draw(cairo_t *cr, bool holiday) const;

private:
    SvgGlyph() = default;
    QImage renderNow(double scale, bool holiday) const;

    std::shared_ptr<const QByteArray> m_svg;
    std::shared_ptr<const QByteArray> m_holiday;
    QSizeF m_exact;
    QSize m_size;
    std::array<QImage, 2> m_atOne; // plain and holiday, at one pixel per CSS pixel
};

} // namespace vexilo
