#pragma once

#include "compose/glyphs/SvgLoader.h"
#include "compose/tints/GlyphTint.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>

#include <array>
#include <memory>
#include <optional>
#include <vector>

using cairo_t = struct _cairo;

namespace vexilo {

// An SVG file may be larger than a GIF glyph: drawings exported by design programs carry
// metadata, but a calendar glyph is never megabytes of paths.
inline constexpr qint64 kMaxSvgGlyphBytes = qint64(8) << 20;
// What librsvg turns into pixels (filter effects) is recorded at no less than print
// resolution, so PDF and SVG output print it sharp.
inline constexpr int kMinRecordDpi = 300;

// Every tint, as a mask of bits by GlyphTint: what digits and weekday names are drawn in.
inline constexpr std::uint32_t kEveryTint = (std::uint32_t(1) << kGlyphTints) - 1;
inline constexpr std::uint32_t kPlainOnly = 1;

// One glyph drawn as vectors: its size in CSS pixels (1/96 inch), its renderings and its
// recordings, plain and with every colour passed through each tint it was read with. The drawing is
// read and drawn by the SVG loader process (SvgLoader.h); this process never hands the file to
// librsvg. Immutable, so sheets drawn side by side may share it.
class SvgGlyph
{
public:
    // The drawing, or nothing when the bytes are no SVG the loader can draw within its limits,
    // it has no size of its own (width and height, or a viewBox), or it is empty or too large
    // for a glyph.
    static std::optional<SvgGlyph> fromBytes(const QByteArray &svg);
    // The same for a regular file of at most kMaxSvgGlyphBytes.
    static std::optional<SvgGlyph> read(const QString &path);

    // What the loader is given for a file's bytes: the document as the program's own XML pass
    // writes it out (no DOCTYPE, entities expanded within a byte budget) and, for each other
    // tint in `tints` (a mask by GlyphTint), the same with its colour function applied.
    // Nothing when the bytes are no well-formed XML within the bounds.
    static std::optional<SvgDocuments> documentsOf(const QByteArray &svg,
                                                   std::uint32_t tints = kEveryTint);
    // Glyphs drawn in order by one loader process with renderings at `scale`, each document
    // handed over as soon as it is sent.
    class Loader
    {
    public:
        explicit Loader(double scale = 1.0, const SvgLoadLimits &limits = {});
        void send(SvgDocuments documents);
        // One glyph per document sent, up to the first that fails; ends the process.
        std::vector<SvgGlyph> glyphs();

    private:
        double m_scale;
        SvgLoaderRun m_run;
        std::vector<std::shared_ptr<const SvgDocuments>> m_sent;
    };
    // The same glyphs again at another scale (and recorded at least at it), by one loader
    // process; empty if any of them fails.
    static std::vector<SvgGlyph> atScale(const std::vector<const SvgGlyph *> &glyphs, double scale,
                                         int recordDpi = kMinRecordDpi);

    // Rounded to whole pixels: the glyph box the layout uses.
    QSize size() const { return m_size; }
    QSizeF exactSize() const { return m_exact; }
    // Units of the recording per CSS pixel.
    double recordScale() const { return m_recordScale; }

    // Whether the glyph was read with that tint (a month title has its plain drawing only).
    bool hasTint(GlyphTint tint) const;

    // The drawing in `tint` at `scale` pixels per CSS pixel, in a premultiplied image of the
    // box's size at that scale, transparent where it has no ink: the loader's rendering at the
    // scale it was drawn at, else the recording replayed. A null image on failure or for a tint
    // the glyph was not read with.
    QImage render(double scale, GlyphTint tint) const;
    QImage render(double scale, bool holiday) const;
    // Draws the recording in `tint` with its top left corner at the context's origin, one unit
    // per CSS pixel, bounded by the box. False if the replay fails or the tint is not there.
    bool draw(cairo_t *cr, GlyphTint tint) const;
    bool draw(cairo_t *cr, bool holiday) const;

private:
    SvgGlyph() = default;
    static SvgGlyph of(std::shared_ptr<const SvgDocuments> documents, SvgDrawn drawn, double scale);

    std::shared_ptr<const SvgDocuments> m_documents;
    std::shared_ptr<const std::array<QByteArray, kGlyphTints>> m_scripts; // by tint
    double m_recordScale = 1;
    QSizeF m_exact;
    QSize m_size;
    double m_scale = 1;                         // of the renderings
    std::array<QImage, kGlyphTints> m_rendered; // by tint
};

} // namespace vexilo
