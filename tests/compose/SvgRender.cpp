// GLib's headers come before Qt's, whose `signals` keyword would break them.
#include <cairo.h>
#include <librsvg/rsvg.h>

#include "SvgRender.h"

#include <cmath>
#include <memory>

namespace vexilo::test {

QImage renderWithRsvg(const QByteArray &svg, int width, int height)
{
    GError *error = nullptr;
    const std::unique_ptr<RsvgHandle, decltype(&g_object_unref)> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(svg.constData()),
                                  static_cast<gsize>(svg.size()), &error),
        &g_object_unref);
    g_clear_error(&error);
    if (!handle)
        return {};
    // Cairo's ARGB32 is Qt's premultiplied ARGB32 in native byte order.
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    cairo_surface_t *surface = cairo_image_surface_create_for_data(
        image.bits(), CAIRO_FORMAT_ARGB32, width, height, static_cast<int>(image.bytesPerLine()));
    cairo_t *cr = cairo_create(surface);
    const RsvgRectangle viewport{0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
    const gboolean drawn = rsvg_handle_render_document(handle.get(), cr, &viewport, &error);
    g_clear_error(&error);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return drawn ? image : QImage();
}

QRgb mixColours(QRgb from, QRgb to, double t)
{
    const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return qRgba(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                 mix(qBlue(from), qBlue(to)), mix(qAlpha(from), qAlpha(to)));
}

} // namespace vexilo::test
