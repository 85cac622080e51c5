#include "SvgGlyph.h"

#include "common/RegularFile.h"
#include "compose/glyphs/HolidayTint.h"
#include "compose/glyphs/Rsvg.h"
#include "compose/glyphs/SvgTint.h"

#include <cmath>

namespace vexilo {

namespace {

// The glyph size limits of the raster sets hold for the box too.
constexpr int kMaxSide = 4096;
constexpr qint64 kMaxPixels = qint64(1) << 20;

struct HandleDeleter
{
    void operator()(RsvgHandle *handle) const { g_object_unref(handle); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleDeleter>;

// Without a base file librsvg refuses references to other files, so a glyph reads nothing but
// its own bytes; the parser keeps its default limits.
Handle parse(const QByteArray &svg)
{
    GError *error = nullptr;
    RsvgHandle *handle = rsvg_handle_new_from_data(
        reinterpret_cast<const guint8 *>(svg.constData()), static_cast<gsize>(svg.size()), &error);
    if (error != nullptr)
        g_error_free(error);
    if (handle != nullptr)
        rsvg_handle_set_dpi(handle, 96.0);
    return Handle(handle);
}

// Width and height in CSS pixels; a document with neither takes its viewBox.
std::optional<QSizeF> intrinsicSize(RsvgHandle *handle)
{
    gdouble width = 0;
    gdouble height = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height)) {
        gboolean hasWidth = FALSE;
        gboolean hasHeight = FALSE;
        gboolean hasViewBox = FALSE;
        RsvgLength w{};
        RsvgLength h{};
        RsvgRectangle viewBox{};
        rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &w, &hasHeight, &h, &hasViewBox,
                                             &viewBox);
        if (!hasViewBox)
            return std::nullopt;
        width = viewBox.width;
        height = viewBox.height;
    }
    if (!std::isfinite(width) || !std::isfinite(height))
        return std::nullopt;
    return QSizeF(width, height);
}

bool renderInto(const QByteArray &svg, cairo_t *cr, QSizeF size)
{
    const Handle handle = parse(svg);
    if (!handle)
        return false;
    const RsvgRectangle viewport{0, 0, size.width(), size.height()};
    GError *error = nullptr;
    const bool drawn = rsvg_handle_render_document(handle.get(), cr, &viewport, &error);
    if (error != nullptr)
        g_error_free(error);
    return drawn && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

} // namespace

std::optional<SvgGlyph> SvgGlyph::read(const QString &path)
{
    // A folder, a pipe or a device named like a glyph would fail or block the read.
    const auto bytes = readRegularFile(path, kMaxSvgGlyphBytes);
    return bytes ? fromBytes(*bytes) : std::nullopt;
}

std::optional<SvgGlyph> SvgGlyph::fromBytes(const QByteArray &svg)
{
    if (svg.isEmpty() || svg.size() > kMaxSvgGlyphBytes)
        return std::nullopt;
    const Handle handle = parse(svg);
    if (!handle)
        return std::nullopt;
    const auto exact = intrinsicSize(handle.get());
    if (!exact)
        return std::nullopt;
    const QSize box(static_cast<int>(std::lround(std::min(exact->width(), double(kMaxSide + 1)))),
                    static_cast<int>(std::lround(std::min(exact->height(), double(kMaxSide + 1)))));
    if (box.isEmpty() || box.width() > kMaxSide || box.height() > kMaxSide ||
        qint64(box.width()) * box.height() > kMaxPixels)
        return std::nullopt;

    const HolidayTint tint;
    QByteArray holiday =
        tintSvgColours(svg, [&tint](QRgb colour) { return tint.recolour(colour); });
    if (holiday.isEmpty())
        return std::nullopt;
    SvgGlyph glyph;
    glyph.m_svg = std::make_shared<const QByteArray>(svg);
    glyph.m_holiday = std::make_shared<const QByteArray>(std::move(holiday));
    glyph.m_exact = *exact;
    glyph.m_size = box;
    // A drawing librsvg parses but cannot draw is refused now, not when a sheet is drawn.
    // The set's holders are these renderings, so they are kept.
    glyph.m_atOne = {glyph.renderNow(1.0, false), glyph.renderNow(1.0, true)};
    if (glyph.m_atOne[0].isNull() || glyph.m_atOne[1].isNull())
        return std::nullopt;
    return glyph;
}

QImage SvgGlyph::render(double scale, bool holiday) const
{
    if (scale == 1.0 && !m_atOne[holiday ? 1 : 0].isNull())
        return m_atOne[holiday ? 1 : 0];
    return renderNow(scale, holiday);
}

QImage SvgGlyph::renderNow(double scale, bool holiday) const
{
    const QSize pixels(std::max(1, static_cast<int>(std::lround(m_size.width() * scale))),
                       std::max(1, static_cast<int>(std::lround(m_size.height() * scale))));
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
    const bool drawn = draw(cr, holiday);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    return drawn ? image : QImage();
}

bool SvgGlyph::draw(cairo_t *cr, bool holiday) const
{
    return renderInto(holiday ? *m_holiday : *m_svg, cr, m_exact);
}

} // namespace vexilo
