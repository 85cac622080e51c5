#pragma once

#include <QImage>
#include <QSize>

#include <memory>
#include <vector>

class QIODevice;

namespace vexilo {

// A PNG written row by row with libpng, top row first, so an image of any height goes out
// without ever being whole in memory. Rows come as RGB32 (written as RGB) or as
// ARGB32_Premultiplied (written as RGBA, with straight alpha).
class PngRows
{
public:
    // Writes the header with the size and the dots per inch (pHYs); ok() says whether it went.
    PngRows(QIODevice &device, QSize size, int dpi, QImage::Format format);
    ~PngRows();
    PngRows(const PngRows &) = delete;
    PngRows &operator=(const PngRows &) = delete;

    bool ok() const { return m_ok; }
    // The next row: `size.width()` pixels of the format given.
    bool writeRow(const uchar *pixels);
    // The rows of an image of the writer's width and format, top to bottom.
    bool writeRows(const QImage &image);
    // Ends the file; false when a row is missing or anything failed on the way.
    bool finish();

private:
    bool start(int dpi);
    bool put(const uchar *row);

    struct Png;
    std::unique_ptr<Png> m_png;
    QSize m_size;
    bool m_alpha;
    std::vector<uchar> m_straight; // a row unpremultiplied for RGBA
    qint64 m_rowsWritten = 0;
    bool m_ok = false;
};

} // namespace vexilo
