#pragma once

// The pipe protocol between the program and its SVG loader, vexilo-svgloader. Plain C++, no
// Qt, so the loader links librsvg and cairo only. Both ends are built together and run on one
// machine, so numbers go in native byte order.
//
// Request, parent to child:
//   u32 kWireMagic, f64 render scale, f64 record scale, then per glyph, as the parent has it
//   ready: u32 the variants sent (a mask of bits 0..kMaxVariants-1, the plain bit 0 always
//   set), then for each variant in bit order u32 length + its document; the parent closes the
//   pipe after the last glyph (at most kMaxGlyphs).
// Answer, child to parent, one per glyph in order, written as soon as it is ready:
//   u32 kGlyphOk or kGlyphRefused; after kGlyphOk: f64 width, f64 height (CSS pixels),
//   f64 record scale used, then for each variant sent, in bit order: i32 width, i32 height,
//   width * height * 4 bytes of premultiplied ARGB32 rows at the render scale, u32 length + a
//   cairo script of the drawing at the record scale.
// A child that stops answering, dies or answers out of bounds fails the glyph it owes.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace vexilo::wire {

inline constexpr std::uint32_t kWireMagic = 0x31535856; // "VXS1"
inline constexpr std::uint32_t kGlyphOk = 1;
inline constexpr std::uint32_t kGlyphRefused = 2;

// A document may be at most this large after the parent's re-serialisation.
inline constexpr std::uint32_t kMaxDocumentBytes = std::uint32_t(8) << 20;
// A set has 17 glyphs and up to 12 month titles.
inline constexpr std::uint32_t kMaxGlyphs = 29;
// The variants of one drawing: plain, holiday, pale, pale holiday and grey, by bit.
inline constexpr int kMaxVariants = 5;
inline constexpr std::uint32_t kPlainVariant = 1;
inline constexpr std::uint32_t kPlainAndHoliday = 3;

// Whether a mask names variants a glyph may be sent with: the plain one and no unknown bit.
constexpr bool validVariants(std::uint32_t variants)
{
    return (variants & kPlainVariant) != 0 && variants < (std::uint32_t(1) << kMaxVariants);
}
// The glyph box limits of the raster sets hold for drawings too.
inline constexpr int kMaxSide = 4096;
inline constexpr std::int64_t kMaxBoxPixels = std::int64_t(1) << 20;
// Scales the parent may ask for: up to 2400 dpi.
inline constexpr double kMinScale = 1.0 / 96;
inline constexpr double kMaxScale = 25.0;
// One rendering, and the canvas a recording is made on, hold at most this many pixels; a
// larger recording is made at a lower scale.
inline constexpr std::int64_t kMaxRenderPixels = std::int64_t(64) << 20;
inline constexpr std::int64_t kMaxRecordPixels = std::int64_t(16) << 20;
// A recording holds paths and, for filters, their pictures at the record scale.
inline constexpr std::uint32_t kMaxScriptBytes = std::uint32_t(96) << 20;

// The glyph box: the size rounded to whole pixels, or 0 x 0 when it is out of bounds.
struct Box
{
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

inline Box boxOf(double width, double height)
{
    if (!std::isfinite(width) || !std::isfinite(height) || width < 0.5 || height < 0.5 ||
        width > kMaxSide + 0.5 || height > kMaxSide + 0.5)
        return {};
    const Box box{static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
    if (box.width > kMaxSide || box.height > kMaxSide ||
        std::int64_t(box.width) * box.height > kMaxBoxPixels)
        return {};
    return box;
}

// The pixel size of a rendering at `scale`, never below one pixel.
inline int scaledSide(int side, double scale)
{
    return std::max(1, static_cast<int>(std::lround(side * scale)));
}

// The scale a recording is made at: the one asked for, lowered until its canvas fits.
inline double recordScaleFor(Box box, double asked)
{
    const double pixels = double(box.width) * box.height * asked * asked;
    if (pixels <= double(kMaxRecordPixels))
        return asked;
    return std::sqrt(double(kMaxRecordPixels) / (double(box.width) * box.height));
}

inline void put(std::string &out, const void *data, std::size_t size)
{
    out.append(static_cast<const char *>(data), size);
}

template <typename T> void putValue(std::string &out, T value)
{
    put(out, &value, sizeof value);
}

// Reads values off the front of a buffer; a read past its end fails and stays failed.
class Reader
{
public:
    Reader(const char *data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename T> bool value(T &out)
    {
        if (!m_ok || m_size - m_pos < sizeof out)
            return fail();
        std::memcpy(&out, m_data + m_pos, sizeof out);
        m_pos += sizeof out;
        return true;
    }
    const char *bytes(std::size_t count)
    {
        if (!m_ok || m_size - m_pos < count) {
            fail();
            return nullptr;
        }
        const char *at = m_data + m_pos;
        m_pos += count;
        return at;
    }
    std::size_t used() const { return m_pos; }
    // Whether a read failed for want of bytes that may still come.
    bool ranShort() const { return m_short; }

private:
    bool fail()
    {
        m_short = m_short || m_ok;
        m_ok = false;
        return false;
    }

    const char *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
    bool m_short = false;
};

} // namespace vexilo::wire
