#include "clsPixel.h"

#include "common/ColorRef.h"

#include <algorithm>
#include <cstring>

namespace vexilo {

void clsPixel::Start(qint32 W, qint32 H)
{
    m_cells.clear();
    m_started = W >= 0 && H >= 0;
    Width = W;
    Height = H;
    if (m_started)
        m_cells.assign((static_cast<std::size_t>(W) + 1) * (static_cast<std::size_t>(H) + 1),
                       fromColorRef(0));
}

bool clsPixel::inBounds(qint32 X, qint32 Y) const
{
    return m_started && X >= 0 && X <= Width && Y >= 0 && Y <= Height;
}

bool clsPixel::Add(qint32 X, qint32 Y, quint32 Cv)
{
    if (!inBounds(X, Y))
        return false;
    m_cells[static_cast<std::size_t>(Y) * (static_cast<std::size_t>(Width) + 1) +
            static_cast<std::size_t>(X)] = fromColorRef(Cv);
    return true;
}

std::optional<quint32> clsPixel::ListC(qint32 X, qint32 Y) const
{
    if (!inBounds(X, Y))
        return std::nullopt;
    return toColorRef(m_cells[static_cast<std::size_t>(Y) * (static_cast<std::size_t>(Width) + 1) +
                              static_cast<std::size_t>(X)]);
}

const QRgb *clsPixel::row(qint32 y) const
{
    return m_cells.data() + static_cast<std::size_t>(y) * (static_cast<std::size_t>(Width) + 1);
}

QRgb *clsPixel::row(qint32 y)
{
    return m_cells.data() + static_cast<std::size_t>(y) * (static_cast<std::size_t>(Width) + 1);
}

void RisovatPixel(QImage &canvas, const clsPixel &bitmap, qint32 x, qint32 y)
{
    if (!bitmap.hasMatrix() || canvas.isNull())
        return;
    Q_ASSERT(canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32);
    // Clip in 64 bits: positions near the 32-bit limits must not wrap.
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 right = std::min<qint64>(qint64(x) + bitmap.Width + 1, canvas.width());
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 bottom = std::min<qint64>(qint64(y) + bitmap.Height + 1, canvas.height());
    if (left >= right || top >= bottom)
        return;
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(QRgb);
    const qsizetype stride = canvas.bytesPerLine();
    uchar *to = canvas.bits() + top * stride + left * qint64(sizeof(QRgb));
    for (qint64 cy = top; cy < bottom; ++cy, to += stride)
        std::memcpy(to, bitmap.row(static_cast<qint32>(cy - y)) + (left - x), bytes);
}

} // namespace vexilo
