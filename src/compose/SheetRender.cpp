#include "SheetRender.h"

#include "common/CalendarMath.h"
#include "common/ProgramText.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace vexilo {

void copyGlyph(QImage &canvas, const QImage &glyph, qint64 x, qint64 y)
{
    if (glyph.isNull() || canvas.isNull())
        return;
    if (glyph.format() != QImage::Format_RGB32) {
        copyGlyph(canvas, glyph.convertToFormat(QImage::Format_RGB32), x, y);
        return;
    }
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 right = std::min<qint64>(x + glyph.width(), canvas.width());
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 bottom = std::min<qint64>(y + glyph.height(), canvas.height());
    if (left >= right || top >= bottom)
        return;
    // Row pointers are taken once: this runs for every digit of a sheet.
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(QRgb);
    const qsizetype fromStride = glyph.bytesPerLine();
    const qsizetype toStride = canvas.bytesPerLine();
    const uchar *from =
        glyph.constBits() + (top - y) * fromStride + (left - x) * qint64(sizeof(QRgb));
    uchar *to = canvas.bits() + top * toStride + left * qint64(sizeof(QRgb));
    for (qint64 row = top; row < bottom; ++row, from += fromStride, to += toStride)
        std::memcpy(to, from, bytes);
}

namespace {

void drawBitmap(QImage &canvas, const std::vector<clsPixel> &bitmaps, std::size_t index, qint64 x,
                qint64 y)
{
    if (index >= bitmaps.size())
        return;
    // Positions beyond the 32-bit range are off any canvas anyway.
    if (x > std::numeric_limits<qint32>::max() || y > std::numeric_limits<qint32>::max() ||
        x < std::numeric_limits<qint32>::min() || y < std::numeric_limits<qint32>::min())
        return;
    RisovatPixel(canvas, bitmaps[index], static_cast<qint32>(x), static_cast<qint32>(y));
}

class SheetPainter
{
public:
    SheetPainter(QImage &canvas, const SheetGeometry &g, const SheetContext &c)
        : m_canvas(canvas), m_inked(canvas.height()), m_g(g), m_c(c),
          m_sizeCheck(c.glyphs.ProverkaRazmerov != 0)
    {}

    void weekdayImages(qint64 x)
    {
        for (std::size_t r = 0; r < 5; ++r) {
            const std::size_t w = m_sizeCheck ? 0 : r;
            const qint64 y = qint64(r) * m_g.rowPitch - m_c.top;
            if (m_c.places != nullptr)
                m_c.places->push_back({true, static_cast<std::uint8_t>(w), false, x, y});
            else
                glyph(m_c.glyphs.picDniNedeli[w], m_c.glyphs.ink.weekdays[w], x, y);
        }
    }

    void weekendBitmaps(qint64 x)
    {
        for (std::size_t c = 0; c < 2; ++c) {
            const qint64 y = qint64(5 + c) * m_g.rowPitch - m_c.top;
            if (m_c.places != nullptr)
                m_c.places->push_back({true, static_cast<std::uint8_t>(5 + c), true, x, y});
            else
                bitmap(m_c.glyphs.DniNedeli, c, x, y);
        }
    }

    // The days of month M from x0; later week columns are columnStep + extraStep apart.
    void month(qint32 M, qint64 x0, qint64 extraStep)
    {
        const auto m = static_cast<std::size_t>(M);
        qint64 x = x0;
        qint32 row = m_c.firstWeekday[m];
        const qint32 last = std::clamp(m_c.DniMesyaca[m], 0, 31);
        for (qint32 n = 1; n <= last; ++n) {
            const bool holiday = m_c.holidays.mark(M, n) != 0;
            number(m_c.Chisla[static_cast<std::size_t>(n)], x, qint64(row) * m_g.rowPitch - m_c.top,
                   holiday);
            if (++row > 6) {
                row = 0;
                x += m_g.columnStep + extraStep;
            }
        }
    }

private:
    void number(qint32 value, qint64 x, qint64 y, bool holiday)
    {
        const qint64 unitsX = x + m_g.digitWidth + m_g.digitsX;
        if (value >= 10)
            digit(static_cast<std::size_t>((value / 10) % 10), x, y, holiday);
        digit(static_cast<std::size_t>(((value % 10) + 10) % 10), unitsX, y, holiday);
    }

    void digit(std::size_t d, qint64 x, qint64 y, bool holiday)
    {
        if (m_sizeCheck)
            d = 0;
        if (m_c.places != nullptr)
            m_c.places->push_back({false, static_cast<std::uint8_t>(d), holiday, x, y});
        else if (holiday)
            bitmap(m_c.glyphs.Tsifry, d, x, y);
        else
            glyph(m_c.glyphs.picChisla[d], m_c.glyphs.ink.digits[d], x, y);
    }

    void glyph(const QImage &image, const GlyphInk &ink, qint64 x, qint64 y)
    {
        if (m_c.inkOnly)
            m_inked.copy(m_canvas, image, ink, x, y);
        else
            copyGlyph(m_canvas, image, x, y);
    }

    void bitmap(const std::vector<clsPixel> &bitmaps, std::size_t index, qint64 x, qint64 y)
    {
        drawBitmap(m_canvas, bitmaps, index, x, y);
        if (index < bitmaps.size())
            m_inked.covered(x, x + qint64(bitmaps[index].Width) + 1, y,
                            y + qint64(bitmaps[index].Height) + 1);
    }

    QImage &m_canvas;
    InkedRows m_inked; // the canvas starts white
    const SheetGeometry &m_g;
    const SheetContext &m_c;
    bool m_sizeCheck;
};

} // namespace

void drawYearCanvas(QImage &canvas, qint32 k, const SheetGeometry &geometry,
                    const SheetContext &context)
{
    SheetPainter painter(canvas, geometry, context);
    painter.weekdayImages(0);
    painter.weekdayImages(geometry.rightColumn);
    // The weekend names go to both columns pixel by pixel, left then right before the next
    // pixel; where the two overlap (a right column closer than a name's width) the later
    // write of each pixel wins, which two whole passes reproduce in this order.
    if (geometry.rightColumn > 0) {
        painter.weekendBitmaps(geometry.rightColumn);
        painter.weekendBitmaps(0);
    } else {
        painter.weekendBitmaps(0);
        painter.weekendBitmaps(geometry.rightColumn);
    }
    for (qint32 l = 0; l < geometry.monthsPerRow; ++l) {
        const qint32 M = k * geometry.monthsPerRow + l + 1;
        if (M < 1 || M > 12)
            continue;
        painter.month(M, geometry.leftOffset + qint64(l) * geometry.monthWidth,
                      l >= 1 ? geometry.digitsX : 0);
    }
}

void drawMonthCanvas(QImage &canvas, qint32 M, const SheetGeometry &geometry,
                     const SheetContext &context)
{
    if (M < 1 || M > 12)
        return;
    SheetPainter painter(canvas, geometry, context);
    painter.weekdayImages(0);
    painter.weekendBitmaps(0);
    painter.month(M, geometry.leftOffset, 0);
}

SheetRequest atResolution(SheetRequest request, int dpi)
{
    if (!request.glyphs || request.glyphs->kind != GlyphKind::Vector || dpi == kDefaultDpi)
        return request;
    const double scale = double(dpi) / kDefaultDpi;
    request.glyphs = glyphsAtScale(request.glyphs, scale);
    for (double *spacing :
         {&request.spacings.datesX, &request.spacings.datesY, &request.spacings.monthsX,
          &request.spacings.monthsY, &request.spacings.digitsX})
        *spacing *= scale;
    return request;
}

std::variant<Sheet, SheetError> Sheet::plan(SheetRequest request)
{
    if (!isCalendarYear(request.year) || request.month < 0 || request.month > 12)
        return SheetError::Year;
    if (!request.glyphs)
        return SheetError::Empty;
    const QSize digitSize = request.glyphs->picChisla[0].size();
    const qint32 weekdayWidth = request.glyphs->picDniNedeli[0].width();
    const auto layout =
        request.month == 0
            ? yearGeometry(digitSize, weekdayWidth, request.spacings, request.monthsPerRowIndex)
            : monthGeometry(digitSize, weekdayWidth, request.spacings);
    if (const auto *error = std::get_if<SheetError>(&layout))
        return *error;
    return Sheet(std::move(request), std::get<SheetGeometry>(layout));
}

Sheet::Sheet(SheetRequest request, const SheetGeometry &geometry)
    : m_request(std::move(request)), m_geometry(geometry), m_days(monthLengthsOf(m_request.year)),
      m_firstWeekday(firstWeekdays(m_request.year, m_days))
{}

QString Sheet::caption() const
{
    QString caption = sizeCaption(m_geometry);
    if (m_request.month != 0)
        caption += QStringLiteral(" - ") + monthNames().at(m_request.month - 1);
    return caption;
}

QImage Sheet::canvas(qint32 k) const
{
    QImage image(m_geometry.canvasWidth, m_geometry.canvasHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    draw(image, k);
    return image;
}

void Sheet::draw(QImage &canvas, qint32 k, qint32 top) const
{
    if (canvas.hasAlphaChannel()) {
        drawTransparent(canvas, k, top);
        return;
    }
    const SheetContext context{
        *m_request.glyphs, m_request.holidays, m_request.Chisla, m_days, m_firstWeekday, top};
    if (m_request.month == 0)
        drawYearCanvas(canvas, k, m_geometry, context);
    else
        drawMonthCanvas(canvas, m_request.month, m_geometry, context);
}

std::vector<GlyphPlace> Sheet::glyphPlaces(qint32 k) const
{
    std::vector<GlyphPlace> places;
    SheetContext context{
        *m_request.glyphs, m_request.holidays, m_request.Chisla, m_days, m_firstWeekday, 0};
    context.places = &places;
    QImage none;
    if (m_request.month == 0)
        drawYearCanvas(none, k, m_geometry, context);
    else
        drawMonthCanvas(none, m_request.month, m_geometry, context);
    return places;
}

void Sheet::drawTransparent(QImage &canvas, qint32 k, qint32 top) const
{
    Pictures &cache = *m_pictures;
    std::call_once(cache.made,
                   [this, &cache] { cache.pictures = transparentPictures(*m_request.glyphs); });
    // Later glyphs over earlier ones, as the opaque copies lie, but a glyph's transparent
    // pixels leave what is below.
    QPainter painter(&canvas);
    for (const GlyphPlace &place : glyphPlaces(k)) {
        const qint64 y = place.y - top;
        const QImage &picture = cache.pictures.of(place);
        if (y >= canvas.height() || y + picture.height() <= 0 || place.x >= canvas.width() ||
            place.x + picture.width() <= 0)
            continue;
        painter.drawImage(QPoint(static_cast<int>(place.x), static_cast<int>(y)), picture);
    }
}

} // namespace vexilo
