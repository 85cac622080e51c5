#include "VectorSheet.h"

#include "compose/glyphs/Rsvg.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace vexilo {

namespace {

cairo_status_t writeToDevice(void *closure, const unsigned char *data, unsigned int length)
{
    auto *device = static_cast<QIODevice *>(closure);
    return device->write(reinterpret_cast<const char *>(data), length) == qint64(length)
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
}

struct SurfaceDeleter
{
    void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The glyph surfaces of one document: a drawing recorded once, or a picture's pixels, used
// as the source wherever the glyph goes, so the file holds each glyph once.
class GlyphSources
{
public:
    GlyphSources(const GlyphSet &glyphs, bool transparent)
        : m_glyphs(glyphs), m_pictures(glyphs.kind == GlyphKind::Vector ? GlyphPictures{}
                                       : transparent ? transparentPictures(glyphs)
                                                     : opaquePictures(glyphs))
    {}

    // Null when the glyph has nothing to draw.
    cairo_surface_t *of(const GlyphPlace &place)
    {
        // Titles are never tinted: one drawing whatever the plan's variant.
        const auto key = std::make_tuple(place.role, place.index,
                                         place.title() ? GlyphVariant::Plain : place.variant);
        if (auto found = m_surfaces.find(key); found != m_surfaces.end())
            return found->second.get();
        Surface surface = make(place);
        if (surface && cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            surface.reset();
        return m_surfaces.emplace(key, std::move(surface)).first->second.get();
    }

    QSizeF sizeOf(const GlyphPlace &place) const
    {
        if (const SvgGlyph *drawing = drawingOf(m_glyphs, place))
            return drawing->size();
        return m_pictures.of(place).size();
    }

    bool failed() const { return m_failed; }

private:
    Surface make(const GlyphPlace &place)
    {
        if (const SvgGlyph *drawing = drawingOf(m_glyphs, place)) {
            // The box bounds the recording, as a glyph's pixels end at its box.
            const cairo_rectangle_t box{0, 0, double(drawing->size().width()),
                                        double(drawing->size().height())};
            Surface recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &box));
            cairo_t *cr = cairo_create(recording.get());
            if (!drawing->draw(cr, place.title() ? GlyphTint::Plain : place.variant))
                m_failed = true;
            cairo_destroy(cr);
            return recording;
        }
        const QImage &picture = m_pictures.of(place);
        if (picture.isNull())
            return nullptr;
        // Cairo reads the pixels where they are; the pictures outlive the document.
        const bool alpha = picture.format() == QImage::Format_ARGB32_Premultiplied;
        const QImage &pixels =
            alpha || picture.format() == QImage::Format_RGB32
                ? picture
                : m_converted.emplace_back(picture.convertToFormat(QImage::Format_RGB32));
        return Surface(cairo_image_surface_create_for_data(
            const_cast<uchar *>(pixels.constBits()),
            alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, pixels.width(), pixels.height(),
            static_cast<int>(pixels.bytesPerLine())));
    }

    const GlyphSet &m_glyphs;
    GlyphPictures m_pictures;
    std::vector<QImage> m_converted;
    std::map<std::tuple<GlyphRole, int, GlyphVariant>, Surface> m_surfaces;
    bool m_failed = false;
};

qint64 sheetTop(const CanvasSource &source)
{
    return std::min<qint64>(0, qint64(source.canvasCount() - 1) * source.canvasPitch());
}

// Draws every canvas in sheet coordinates: each clipped to its rectangle, white unless
// transparent, then its glyphs in order.
bool drawSheet(cairo_t *cr, const CanvasSource &source, GlyphSources &sources, bool transparent)
{
    const QSize canvas = source.canvasSize();
    const qint64 top = sheetTop(source);
    if (!transparent) { // white between the canvases too
        const QSize whole = wholeSheetSize(source);
        cairo_rectangle(cr, 0, 0, whole.width(), whole.height());
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    }
    for (qint32 k = 0; k < source.canvasCount(); ++k) {
        const double y0 = double(qint64(k) * source.canvasPitch() - top);
        cairo_save(cr);
        cairo_rectangle(cr, 0, y0, canvas.width(), canvas.height());
        cairo_clip(cr);
        if (!transparent) {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
        }
        for (const GlyphPlace &place : source.glyphPlaces(k)) {
            cairo_surface_t *glyph = sources.of(place);
            if (glyph == nullptr)
                continue;
            const QSizeF size = sources.sizeOf(place);
            cairo_save(cr);
            cairo_translate(cr, double(place.x), y0 + double(place.y));
            cairo_rectangle(cr, 0, 0, size.width(), size.height());
            cairo_clip(cr);
            cairo_set_source_surface(cr, glyph, 0, 0);
            // Pixels stay pixels at any zoom: no smoothing between them.
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_restore(cr);
    }
    return !sources.failed() && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

// One page of a document: its sheet, `scale` sheet pixels to the page's units from `origin`,
// on a page of `size` (the surface's own for the first).
struct DocumentPage
{
    const CanvasSource *source;
    QPointF origin;
    QSizeF scale{1, 1};
    QSizeF size;
};

// Draws the pages into the document, one after the other, and ends it. The glyph sources serve
// every page, so each glyph is written once for the whole document; they outlive it, as it
// refers to them until it is finished.
bool writeDocument(cairo_surface_t *surface, const std::vector<DocumentPage> &pages,
                   bool transparent, int dpi)
{
    const GlyphSet *glyphs = pages.front().source->glyphSet();
    // Drawings recorded at a finer resolution than their load's, when asked for.
    std::optional<GlyphSet> finer = glyphs != nullptr ? recordedAt(*glyphs, dpi) : std::nullopt;
    if (finer)
        glyphs = &*finer;
    std::optional<GlyphSources> sources;
    if (glyphs != nullptr)
        sources.emplace(*glyphs, transparent);
    bool drawn = sources.has_value();
    for (std::size_t p = 0; p < pages.size() && drawn; ++p) {
        const DocumentPage &page = pages[p];
        if (p > 0) // the page before is written out before this one is drawn
            cairo_pdf_surface_set_size(surface, page.size.width(), page.size.height());
        cairo_t *cr = cairo_create(surface);
        cairo_translate(cr, page.origin.x(), page.origin.y());
        cairo_scale(cr, page.scale.width(), page.scale.height());
        drawn = drawSheet(cr, *page.source, *sources, transparent);
        if (p + 1 < pages.size())
            cairo_show_page(cr);
        cairo_destroy(cr);
    }
    cairo_surface_finish(surface);
    const bool ok = drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

bool writeSvgSheet(const CanvasSource &source, bool transparent, QIODevice &device, int dpi)
{
    const QSize size = wholeSheetSize(source);
    cairo_surface_t *surface =
        cairo_svg_surface_create_for_stream(writeToDevice, &device, size.width(), size.height());
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    return writeDocument(surface, {DocumentPage{&source, {}, {1, 1}, size}}, transparent, dpi);
}

bool writeVectorPdf(const CanvasSource &source, bool transparent, QSizeF pageSize,
                    const QRectF &target, QIODevice &device, int dpi)
{
    return writeVectorPdf({VectorPdfPage{&source, pageSize, target}}, transparent, device, dpi);
}

bool writeVectorPdf(const std::vector<VectorPdfPage> &pages, bool transparent, QIODevice &device,
                    int dpi)
{
    std::vector<DocumentPage> document;
    for (const VectorPdfPage &page : pages) {
        const QSize size = wholeSheetSize(*page.source);
        if (size.isEmpty())
            return false;
        document.push_back(
            {page.source,
             page.target.topLeft(),
             {page.target.width() / size.width(), page.target.height() / size.height()},
             page.pageSize});
    }
    if (document.empty())
        return false;
    const QSizeF first = pages.front().pageSize;
    cairo_surface_t *surface =
        cairo_pdf_surface_create_for_stream(writeToDevice, &device, first.width(), first.height());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "Vexilo");
    return writeDocument(surface, document, transparent, dpi);
}

} // namespace vexilo
