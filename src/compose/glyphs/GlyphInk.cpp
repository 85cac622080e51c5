#include "GlyphInk.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vexilo {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

} // namespace

GlyphInk inkOf(const QImage &glyph)
{
    GlyphInk ink;
    if (glyph.format() != QImage::Format_RGB32)
        return ink;
    ink.rows.reserve(static_cast<std::size_t>(glyph.height()));
    for (int y = 0; y < glyph.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(glyph.constScanLine(y));
        int first = 0;
        while (first < glyph.width() && row[first] == kWhite)
            ++first;
        int last = glyph.width() - 1;
        while (last >= first && row[last] == kWhite)
            --last;
        ink.rows.emplace_back(first, last);
    }
    return ink;
}

InkedRows::InkedRows(int height) : m_rows(static_cast<std::size_t>(std::max(height, 0)), {1, 0}) {}

void InkedRows::covered(qint64 left, qint64 right, qint64 top, qint64 bottom)
{
    top = std::max<qint64>(top, 0);
    bottom = std::min<qint64>(bottom, static_cast<qint64>(m_rows.size()));
    left = std::max<qint64>(left, 0);
    right = std::min<qint64>(right, std::numeric_limits<int>::max());
    if (left >= right)
        return;
    for (qint64 row = top; row < bottom; ++row)
        add(static_cast<std::size_t>(row), static_cast<int>(left), static_cast<int>(right - 1));
}

void InkedRows::copy(QImage &canvas, const QImage &glyph, const GlyphInk &ink, qint64 x, qint64 y)
{
    if (glyph.isNull() || canvas.isNull())
        return;
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 right = std::min<qint64>(x + glyph.width(), canvas.width());
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 bottom = std::min<qint64>(
        {y + glyph.height(), qint64(canvas.height()), static_cast<qint64>(m_rows.size())});
    if (left >= right || top >= bottom)
        return;
    if (glyph.format() != QImage::Format_RGB32 ||
        ink.rows.size() != static_cast<std::size_t>(glyph.height())) {
        QImage opaque = glyph.convertToFormat(QImage::Format_RGB32);
        copy(canvas, opaque, inkOf(opaque), x, y);
        return;
    }
    // Row pointers are stepped by hand: this runs for every row of every digit of a sheet.
    const qsizetype toStride = canvas.bytesPerLine();
    const qsizetype fromStride = glyph.bytesPerLine();
    uchar *toRow = canvas.bits() + top * toStride;
    const uchar *fromRow = glyph.constBits() + (top - y) * fromStride;
    for (qint64 row = top; row < bottom; ++row, toRow += toStride, fromRow += fromStride) {
        const auto r = static_cast<std::size_t>(row - y);
        const auto *from = reinterpret_cast<const QRgb *>(fromRow);
        auto *to = reinterpret_cast<QRgb *>(toRow);
        const auto &[inkFirst, inkLast] = m_rows[static_cast<std::size_t>(row)];
        // The glyph's own ink in canvas columns, clipped.
        const qint64 first = std::max<qint64>(x + ink.rows[r].first, left);
        const qint64 last = std::min<qint64>(x + ink.rows[r].second, right - 1);
        if (inkFirst <= inkLast && inkFirst < right && inkLast >= left) {
            // Ink lies under this row of the glyph: its white must cover it.
            std::memcpy(to + left, from + (left - x), static_cast<std::size_t>(right - left) * 4);
        } else if (first <= last) {
            std::memcpy(to + first, from + (first - x),
                        static_cast<std::size_t>(last - first + 1) * 4);
        }
        if (first <= last)
            add(static_cast<std::size_t>(row), static_cast<int>(first), static_cast<int>(last));
    }
}

} // namespace vexilo
