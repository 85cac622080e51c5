#include "SvgGlyph.h"

#include "common/RegularFile.h"
#include "common/SvgLoaderWire.h"
#include "compose/glyphs/Rsvg.h"
#include "compose/tints/GreyTint.h"
#include "compose/tints/HolidayTint.h"
#include "compose/tints/PaleTint.h"
#include "compose/tints/SvgTint.h"

#include <cairo.h>

#include <cmath>
#include <functional>

namespace vexilo {

namespace {

constexpr double kDpiOfCssPixel = 96.0;

// The XML reader expands one entity reference to at most this many characters.
constexpr qsizetype kEntityExpansion = 4096;

// A document whose entities could expand past the byte budget is refused before any parser
// expands them: each reference may grow to the reader's limit.
bool entitiesWithinBudget(const QByteArray &svg)
{
    if (!svg.contains("<!ENTITY"))
        return true;
    return svg.size() + svg.count('&') * kEntityExpansion <= qsizetype(wire::kMaxDocumentBytes);
}

bool fits(const QByteArray &document)
{
    return !document.isEmpty() && document.size() <= qsizetype(wire::kMaxDocumentBytes);
}

} // namespace

std::optional<SvgDocuments> SvgGlyph::documentsOf(const QByteArray &svg, std::uint32_t tints)
{
    if (svg.isEmpty() || svg.size() > kMaxSvgGlyphBytes || !entitiesWithinBudget(svg))
        return std::nullopt;
    // The colour functions the holders' pixels go through, so a drawing and a picture of the
    // same colours tint alike.
    static const HolidayTint red;
    static const PaleTint pale;
    static const GreyTint grey;
    const std::array<std::function<QRgb(QRgb)>, kGlyphTints> recolour{
        [](QRgb colour) { return colour; }, [](QRgb colour) { return red.recolour(colour); },
        [](QRgb colour) { return pale.recolour(colour); },
        [](QRgb colour) { return pale.recolourRed(colour); },
        [](QRgb colour) { return grey.recolour(colour); }};
    SvgDocuments documents;
    tints |= kPlainOnly;
    for (std::size_t tint = 0; tint < recolour.size(); ++tint) {
        if ((tints & (std::uint32_t(1) << tint)) == 0)
            continue;
        documents.byTint[tint] = tintSvgColours(svg, recolour[tint]);
        if (!fits(documents.byTint[tint]))
            return std::nullopt;
    }
    return documents;
}

SvgGlyph SvgGlyph::of(std::shared_ptr<const SvgDocuments> documents, SvgDrawn drawn, double scale)
{
    SvgGlyph glyph;
    glyph.m_documents = std::move(documents);
    glyph.m_scripts =
        std::make_shared<const std::array<QByteArray, kGlyphTints>>(std::move(drawn.scripts));
    glyph.m_recordScale = drawn.recordScale;
    glyph.m_exact = drawn.exact;
    const wire::Box box = wire::boxOf(drawn.exact.width(), drawn.exact.height());
    glyph.m_size = QSize(box.width, box.height);
    glyph.m_scale = scale;
    glyph.m_rendered = std::move(drawn.images);
    return glyph;
}

SvgGlyph::Loader::Loader(double scale, const SvgLoadLimits &limits)
    : m_scale(scale), m_run(scale, std::max(scale, kMinRecordDpi / kDpiOfCssPixel), limits)
{}

void SvgGlyph::Loader::send(SvgDocuments documents)
{
    m_sent.push_back(std::make_shared<const SvgDocuments>(std::move(documents)));
    m_run.send(*m_sent.back());
}

std::vector<SvgGlyph> SvgGlyph::Loader::glyphs()
{
    std::vector<SvgDrawn> drawn = m_run.answers();
    std::vector<SvgGlyph> glyphs;
    for (std::size_t i = 0; i < drawn.size(); ++i)
        glyphs.push_back(of(m_sent[i], std::move(drawn[i]), m_scale));
    return glyphs;
}

std::vector<SvgGlyph> SvgGlyph::atScale(const std::vector<const SvgGlyph *> &glyphs, double scale,
                                        int recordDpi)
{
    std::vector<SvgDocuments> documents;
    for (const SvgGlyph *glyph : glyphs)
        documents.push_back(*glyph->m_documents);
    const double record =
        std::max({scale, kMinRecordDpi / kDpiOfCssPixel, recordDpi / kDpiOfCssPixel});
    // Larger renderings take longer: the deadline grows with the pixels asked for.
    SvgLoadLimits limits;
    const double growth = std::max(1.0, scale * scale / 4);
    limits.deadlineMs = int(std::min(limits.deadlineMs * growth, 120000.0));
    limits.cpuSeconds = int(std::min(limits.cpuSeconds * growth, 240.0));
    std::vector<SvgDrawn> drawn = drawInLoader(documents, scale, record, limits);
    std::vector<SvgGlyph> again;
    if (drawn.size() != glyphs.size())
        return again;
    for (std::size_t i = 0; i < drawn.size(); ++i)
        again.push_back(of(glyphs[i]->m_documents, std::move(drawn[i]), scale));
    return again;
}

std::optional<SvgGlyph> SvgGlyph::read(const QString &path)
{
    // A folder, a pipe or a device named like a glyph would fail or block the read.
    const auto bytes = readRegularFile(path, kMaxSvgGlyphBytes);
    return bytes ? fromBytes(*bytes) : std::nullopt;
}

std::optional<SvgGlyph> SvgGlyph::fromBytes(const QByteArray &svg)
{
    auto documents = documentsOf(svg);
    if (!documents)
        return std::nullopt;
    Loader loader;
    loader.send(std::move(*documents));
    std::vector<SvgGlyph> glyphs = loader.glyphs();
    if (glyphs.empty())
        return std::nullopt;
    return std::move(glyphs.front());
}

bool SvgGlyph::hasTint(GlyphTint tint) const
{
    return m_scripts && !(*m_scripts)[std::size_t(tint)].isEmpty();
}

QImage SvgGlyph::render(double scale, GlyphTint tint) const
{
    if (!hasTint(tint))
        return {};
    const QImage &kept = m_rendered[std::size_t(tint)];
    if (scale == m_scale && !kept.isNull())
        return kept;
    const QSize pixels(wire::scaledSide(m_size.width(), scale),
                       wire::scaledSide(m_size.height(), scale));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    // Cairo's ARGB32 is Qt's premultiplied ARGB32 in native byte order.
    cairo_surface_t *surface =
        cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                            image.height(), static_cast<int>(image.bytesPerLine()));
    cairo_t *cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    const bool drawn = draw(cr, tint);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    return drawn ? image : QImage();
}

QImage SvgGlyph::render(double scale, bool holiday) const
{
    return render(scale, holiday ? GlyphTint::Holiday : GlyphTint::Plain);
}

bool SvgGlyph::draw(cairo_t *cr, GlyphTint tint) const
{
    return hasTint(tint) && replayRecording((*m_scripts)[std::size_t(tint)], m_recordScale, cr);
}

bool SvgGlyph::draw(cairo_t *cr, bool holiday) const
{
    return draw(cr, holiday ? GlyphTint::Holiday : GlyphTint::Plain);
}

} // namespace vexilo
