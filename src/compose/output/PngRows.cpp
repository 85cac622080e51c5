#include "PngRows.h"

#include <QIODevice>

#include <png.h>

#include <cmath>

namespace vexilo {

struct PngRows::Png
{
    explicit Png(QIODevice &to) : device(to)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, &Png::error, &Png::warning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~Png() { png_destroy_write_struct(&png, &info); }
    Png(const Png &) = delete;
    Png &operator=(const Png &) = delete;

    // libpng's errors return to the setjmp of the call that met them; nothing is printed.
    [[noreturn]] static void error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    static void warning(png_structp, png_const_charp) {}

    // A failed write is remembered rather than thrown through libpng's C frames.
    static void write(png_structp png, png_bytep data, png_size_t length)
    {
        auto *self = static_cast<Png *>(png_get_io_ptr(png));
        if (self->failed)
            return;
        const auto size = static_cast<qint64>(length);
        if (self->device.write(reinterpret_cast<const char *>(data), size) != size)
            self->failed = true;
    }
    static void flush(png_structp) {}

    QIODevice &device;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false;
};

PngRows::PngRows(QIODevice &device, QSize size, int dpi, QImage::Format format)
    : m_png(std::make_unique<Png>(device)), m_size(size),
      m_alpha(format == QImage::Format_ARGB32_Premultiplied)
{
    if (m_alpha)
        m_straight.resize(static_cast<std::size_t>(std::max(size.width(), 0)) * 4);
    m_ok = m_png->png && m_png->info && !size.isEmpty() && start(dpi);
}

PngRows::~PngRows() = default;

bool PngRows::start(int dpi)
{
    png_structp png = m_png->png;
    png_infop info = m_png->info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, m_png.get(), &Png::write, &Png::flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(m_size.width()),
                 static_cast<png_uint_32>(m_size.height()), 8,
                 m_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto perMetre = static_cast<png_uint_32>(std::lround(dpi / 0.0254));
    png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (!m_alpha) {
        // RGB32 is one 32-bit word a pixel, 0xffRRGGBB: libpng drops the unused byte.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    }
    return !m_png->failed;
}

bool PngRows::put(const uchar *row)
{
    png_structp png = m_png->png;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_write_row(png, row);
    return true;
}

bool PngRows::writeRow(const uchar *pixels)
{
    if (!m_ok || m_png->failed || m_rowsWritten >= m_size.height())
        return m_ok = false;
    const uchar *row = pixels;
    if (m_alpha) {
        const auto *from = reinterpret_cast<const QRgb *>(pixels);
        uchar *to = m_straight.data();
        for (int x = 0; x < m_size.width(); ++x, to += 4) {
            const QRgb straight = qUnpremultiply(from[x]);
            to[0] = static_cast<uchar>(qRed(straight));
            to[1] = static_cast<uchar>(qGreen(straight));
            to[2] = static_cast<uchar>(qBlue(straight));
            to[3] = static_cast<uchar>(qAlpha(straight));
        }
        row = m_straight.data();
    }
    if (!put(row))
        return m_ok = false;
    ++m_rowsWritten;
    return !m_png->failed;
}

bool PngRows::writeRows(const QImage &image)
{
    if (image.width() != m_size.width() || image.depth() != 32)
        return m_ok = false;
    for (int y = 0; y < image.height(); ++y)
        if (!writeRow(image.constScanLine(y)))
            return false;
    return true;
}

bool PngRows::finish()
{
    if (!m_ok || m_png->failed || m_rowsWritten != m_size.height())
        return false;
    png_structp png = m_png->png;
    png_infop info = m_png->info;
    if (setjmp(png_jmpbuf(png)))
        return m_ok = false;
    png_write_end(png, info);
    return !m_png->failed;
}

} // namespace vexilo
