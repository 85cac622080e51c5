#include "GlyphWork.h"

// librsvg through GLib names a struct member "signals"; nothing here defines it, but the
// header is shared with code that does.
#include <librsvg/rsvg.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cairo-script.h>
#include <cairo.h>

#include <memory>
#include <optional>

namespace vexilo::svgloader {

namespace {

struct HandleDeleter
{
    void operator()(RsvgHandle *handle) const { g_object_unref(handle); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleDeleter>;

// Without a base file librsvg refuses references to other files, so a glyph reads nothing
// but its own bytes.
Handle parse(const std::string &svg)
{
    GError *error = nullptr;
    RsvgHandle *handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(svg.data()),
                                                   static_cast<gsize>(svg.size()), &error);
    if (error != nullptr)
        g_error_free(error);
    if (handle != nullptr)
        rsvg_handle_set_dpi(handle, 96.0);
    return Handle(handle);
}

// Width and height in CSS pixels; a document with neither takes its viewBox.
std::optional<std::pair<double, double>> intrinsicSize(RsvgHandle *handle)
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
    return std::make_pair(width, height);
}

bool renderDocument(RsvgHandle *handle, cairo_t *cr, double width, double height)
{
    const RsvgRectangle viewport{0, 0, width, height};
    GError *error = nullptr;
    const bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
    if (error != nullptr)
        g_error_free(error);
    return drawn && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendScript(void *closure, const unsigned char *data, unsigned int length)
{
    auto *script = static_cast<std::string *>(closure);
    if (script->size() + length > wire::kMaxScriptBytes)
        return CAIRO_STATUS_WRITE_ERROR;
    script->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

bool draw(RsvgHandle *handle, const GlyphAnswer &size, wire::Box box, double renderScale,
          Drawn &out)
{
    if (handle == nullptr)
        return false;
    out.width = wire::scaledSide(box.width, renderScale);
    out.height = wire::scaledSide(box.height, renderScale);
    if (std::int64_t(out.width) * out.height > wire::kMaxRenderPixels)
        return false;
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 0);
    cairo_surface_t *image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char *>(out.pixels.data()), CAIRO_FORMAT_ARGB32, out.width,
        out.height, out.width * 4);
    cairo_t *cr = cairo_create(image);
    cairo_scale(cr, renderScale, renderScale);
    bool drawn = renderDocument(handle, cr, size.width, size.height);
    cairo_destroy(cr);
    cairo_surface_finish(image);
    cairo_surface_destroy(image);
    if (!drawn)
        return false;

    // The recording is made at the record scale, so that what librsvg turns into pixels
    // (filters above all) gets pixels of print resolution; paths stay paths at any scale.
    cairo_device_t *device = cairo_script_create_for_stream(appendScript, &out.script);
    cairo_surface_t *recording =
        cairo_script_surface_create(device, CAIRO_CONTENT_COLOR_ALPHA, box.width * size.recordScale,
                                    box.height * size.recordScale);
    cr = cairo_create(recording);
    cairo_scale(cr, size.recordScale, size.recordScale);
    drawn = renderDocument(handle, cr, size.width, size.height);
    cairo_destroy(cr);
    cairo_surface_finish(recording);
    drawn = drawn && cairo_surface_status(recording) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(recording);
    cairo_device_finish(device);
    drawn = drawn && cairo_device_status(device) == CAIRO_STATUS_SUCCESS;
    cairo_device_destroy(device);
    return drawn;
}

void appendDrawn(std::string &out, const Drawn &drawn)
{
    wire::putValue(out, std::int32_t(drawn.width));
    wire::putValue(out, std::int32_t(drawn.height));
    wire::put(out, drawn.pixels.data(), drawn.pixels.size() * sizeof(std::uint32_t));
    wire::putValue(out, std::uint32_t(drawn.script.size()));
    wire::put(out, drawn.script.data(), drawn.script.size());
}

// Whether a picture's declared size is one a glyph may hold, read from its header before
// anything is decoded; librsvg would decode a picture of any size, and drop it in silence
// when memory runs out.
bool pictureWithinBounds(const std::string &bytes)
{
    struct Declared
    {
        bool known = false;
        bool tooLarge = false;
    } declared;
    GdkPixbufLoader *loader = gdk_pixbuf_loader_new();
    g_signal_connect(loader, "size-prepared",
                     G_CALLBACK(+[](GdkPixbufLoader *, gint width, gint height, gpointer data) {
                         auto *seen = static_cast<Declared *>(data);
                         seen->known = true;
                         seen->tooLarge = width <= 0 || height <= 0 ||
                                          std::int64_t(width) * height > wire::kMaxRecordPixels;
                     }),
                     &declared);
    constexpr std::size_t kStep = 4096;
    for (std::size_t at = 0; at < bytes.size() && !declared.known; at += kStep) {
        const std::size_t size = std::min(kStep, bytes.size() - at);
        if (!gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar *>(bytes.data() + at),
                                     size, nullptr))
            break;
    }
    gdk_pixbuf_loader_close(loader, nullptr);
    g_object_unref(loader);
    return !declared.tooLarge;
}

// Every picture the document embeds as a data: address is within bounds.
bool picturesWithinBounds(const std::string &svg)
{
    for (std::size_t at = svg.find("data:"); at != std::string::npos;
         at = svg.find("data:", at + 5)) {
        const std::size_t end = svg.find_first_of("\"'()<> \t\r\n", at);
        const std::string address = svg.substr(at, end == std::string::npos ? end : end - at);
        const std::size_t comma = address.find(',');
        if (comma == std::string::npos)
            continue;
        const std::string header = address.substr(0, comma);
        std::string bytes;
        if (header.size() >= 7 && header.compare(header.size() - 7, 7, ";base64") == 0) {
            gsize size = 0;
            guchar *decoded = g_base64_decode(address.c_str() + comma + 1, &size);
            bytes.assign(reinterpret_cast<const char *>(decoded), size);
            g_free(decoded);
        } else {
            char *unescaped = g_uri_unescape_string(address.c_str() + comma + 1, nullptr);
            if (unescaped != nullptr)
                bytes = unescaped;
            g_free(unescaped);
        }
        if (!pictureWithinBounds(bytes))
            return false;
    }
    return true;
}

} // namespace

bool drawGlyph(const std::vector<std::string> &documents, double renderScale, double recordScale,
               GlyphAnswer &answer)
{
    if (!(renderScale >= wire::kMinScale && renderScale <= wire::kMaxScale) ||
        !(recordScale >= wire::kMinScale && recordScale <= wire::kMaxScale) || documents.empty())
        return false;
    const std::string &plain = documents.front();
    if (!picturesWithinBounds(plain))
        return false;
    const Handle handle = parse(plain);
    if (!handle)
        return false;
    const auto size = intrinsicSize(handle.get());
    if (!size)
        return false;
    const wire::Box box = wire::boxOf(size->first, size->second);
    if (box.empty())
        return false;
    answer.width = size->first;
    answer.height = size->second;
    answer.recordScale = wire::recordScaleFor(box, recordScale);
    answer.variants.assign(documents.size(), Drawn{});
    if (!draw(handle.get(), answer, box, renderScale, answer.variants.front()))
        return false;
    // The tinted documents are drawn in the plain one's box. They come from the same pass over
    // the same file, which changes colours only, so the plain one's pictures are theirs.
    for (std::size_t i = 1; i < documents.size(); ++i) {
        const Handle tinted = parse(documents[i]);
        if (!draw(tinted.get(), answer, box, renderScale, answer.variants[i]))
            return false;
    }
    return true;
}

void appendAnswer(std::string &out, const GlyphAnswer &answer)
{
    wire::putValue(out, wire::kGlyphOk);
    wire::putValue(out, answer.width);
    wire::putValue(out, answer.height);
    wire::putValue(out, answer.recordScale);
    for (const Drawn &drawn : answer.variants)
        appendDrawn(out, drawn);
}

} // namespace vexilo::svgloader
