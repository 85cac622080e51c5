#include "SheetRender.h"

#include "compose/output/PixelPainter.h"

#include "common/CalendarMath.h"
#include "common/ProgramText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vexilo {

QString resolutionTooLargeMessage(int dpi, QSize pixels)
{
    return QStringLiteral("При %1 точках на дюйм лист получается слишком большим (%2 × %3 точек). "
                          "Уменьшите разрешение.")
        .arg(dpi)
        .arg(pixels.width())
        .arg(pixels.height());
}

namespace {

// The canvases of `page` at `scale` within the canvas limits; else the whole sheet's size
// there, for the message.
std::optional<QSize> oversizeAt(const PagePlan &page, double scale)
{
    const QSize canvas = page.canvases.front().size;
    const double width = double(scaledUnit(canvas.width(), scale));
    const double height = double(scaledUnit(canvas.height(), scale));
    const double count = double(page.canvases.size());
    const double last = (count - 1) * double(scaledUnit(page.pitch, scale));
    const double whole = std::max(height, last + height) - std::min(0.0, last);
    if (width <= kMaxCanvasSide && height <= kMaxCanvasSide &&
        std::abs(last) <= std::numeric_limits<qint32>::max() &&
        count * width * height * 4 <= double(kMaxCanvasBytes))
        return std::nullopt;
    const auto side = [](double value) {
        return static_cast<int>(std::min<double>(value, std::numeric_limits<int>::max()));
    };
    return QSize(side(width), side(whole));
}

} // namespace

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
    : m_request(std::move(request)), m_geometry(geometry), m_pixelGlyphs(m_request.glyphs)
{
    layOut();
}

void Sheet::layOut()
{
    const std::array<qint32, 13> days = monthLengthsOf(m_request.year);
    const std::array<qint32, 13> first = firstWeekdays(m_request.year, days);
    const PlanDays planDays{m_request.holidays, m_request.Chisla, days, first,
                            isSizeCheck(m_request.glyphs->ProverkaRazmerov)};
    m_plan = std::make_shared<const SheetPlan>(
        m_request.month == 0 ? yearPlan(m_geometry, planDays)
                             : monthPlan(m_request.month, m_geometry, planDays));
    m_pixelPlan =
        m_scale == 1.0 ? m_plan : std::make_shared<const SheetPlan>(scaledPlan(*m_plan, m_scale));
}

void Sheet::setHolidays(const clsPrazdniki &holidays)
{
    m_request.holidays = holidays;
    layOut();
}

std::variant<Sheet, QString> Sheet::atResolution(int dpi) const
{
    if (m_request.glyphs->kind != GlyphKind::Vector || dpi == kDefaultDpi)
        return *this;
    const double scale = double(dpi) / kDefaultDpi;
    if (const std::optional<QSize> oversize = oversizeAt(m_plan->pages.front(), scale))
        return resolutionTooLargeMessage(dpi, *oversize);
    SharedGlyphs pixels = glyphsAtScale(m_request.glyphs, scale);
    if (!pixels)
        return outOfMemoryMessage();
    Sheet sharp = *this;
    sharp.m_scale = scale;
    sharp.m_pixelGlyphs = std::move(pixels);
    sharp.m_pixelPlan = std::make_shared<const SheetPlan>(scaledPlan(*m_plan, scale));
    sharp.m_pictures = std::make_shared<Pictures>();
    return sharp;
}

QString Sheet::caption() const
{
    QString caption = sizeCaption(m_geometry);
    if (m_request.month != 0)
        caption += QStringLiteral(" - ") + monthNames().at(m_request.month - 1);
    return caption;
}

QString Sheet::sizeText() const
{
    if (m_scale == 1.0)
        return sizeCaption(m_geometry);
    SheetGeometry scaled = m_geometry;
    scaled.canvasWidth = canvasSize().width();
    scaled.totalHeight = canvasSize().height() + m_geometry.KolRisunkov * canvasPitch();
    return sizeCaption(scaled);
}

QImage Sheet::canvas(qint32 k) const
{
    QImage image(canvasSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    draw(image, k);
    return image;
}

void Sheet::draw(QImage &canvas, qint32 k, qint32 top) const
{
    if (k < 0 || k >= canvasCount())
        return;
    const CanvasPlan &plan = page().canvases[static_cast<std::size_t>(k)];
    if (!canvas.hasAlphaChannel()) {
        paintCanvas(canvas, plan, *m_pixelGlyphs, top);
        return;
    }
    Pictures &cache = *m_pictures;
    std::call_once(cache.made,
                   [this, &cache] { cache.pictures = transparentPictures(*m_pixelGlyphs); });
    paintTransparent(canvas, plan, cache.pictures, top);
}

std::vector<GlyphPlace> Sheet::glyphPlaces(qint32 k) const
{
    if (k < 0 || k >= canvasCount())
        return {};
    return page().canvases[static_cast<std::size_t>(k)].places;
}

} // namespace vexilo
