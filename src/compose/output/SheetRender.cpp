#include "SheetRender.h"

#include "compose/output/PixelPainter.h"
#include "compose/sheet/DesignedLayout.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"
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

namespace {

DesignGlyphs designGlyphs(const GlyphSet &glyphs)
{
    DesignGlyphs boxes{glyphs.picChisla[0].size(), glyphs.picDniNedeli[0].size(), {}};
    for (std::size_t m = 0; m < 12; ++m)
        boxes.titles[m] = glyphs.monthTitles[m].size();
    return boxes;
}

constexpr std::array<qint32, 4> kPerRowChoices = {2, 3, 4, 6};

bool perRowAllowed(qint32 perRow)
{
    return perRow == 1 ||
           std::find(kPerRowChoices.begin(), kPerRowChoices.end(), perRow) != kPerRowChoices.end();
}

std::variant<SheetGeometry, SheetError> pageGeometry(const SheetRequest &request,
                                                     const PeriodPages &pages)
{
    const QSize digitSize = request.glyphs->picChisla[0].size();
    const qint32 weekdayWidth = request.glyphs->picDniNedeli[0].width();
    if (!monthSheetPages(pages))
        return rowsGeometry(digitSize, weekdayWidth, request.spacings, pages.perRow,
                            rowsPerPage(pages));
    auto layout = monthGeometry(digitSize, weekdayWidth, request.spacings);
    if (auto *g = std::get_if<SheetGeometry>(&layout); g && pages.quarterly) {
        // Three month sheets in a column, "Месяцы Y" apart, counted as the year sheet's rows.
        const double pitch = roundHalfEven(request.spacings.monthsY) + g->canvasHeight;
        const double total = g->canvasHeight + 2 * pitch;
        constexpr double most = std::numeric_limits<qint32>::max();
        if (std::abs(pitch) > most || std::abs(total) > most ||
            3.0 * g->canvasWidth * g->canvasHeight * 4 > double(kMaxCanvasBytes))
            return SheetError::TooLarge;
        g->ShagRisunkov = static_cast<qint32>(pitch);
        g->KolRisunkov = 2;
        g->totalHeight = static_cast<qint32>(total);
    }
    return layout;
}

} // namespace

std::optional<PeriodPages> requestPages(const SheetRequest &request)
{
    const CalendarView &view = request.view;
    PeriodPages pages;
    pages.quarterly = view.quarterly;
    if (view.period)
        pages.period = *view.period;
    else if (request.month != 0 && !view.quarterly)
        pages.period = {request.year, request.month, 1};
    else
        pages.period = {request.year, 1, 12};
    pages.perRow = view.monthsPerRow != 0
                       ? view.monthsPerRow
                       : kPerRowChoices[std::size_t(std::clamp(request.monthsPerRowIndex, 0, 3))];
    pages.perPage = view.quarterly                       ? 1
                    : view.perPage != 0                  ? view.perPage
                    : request.month != 0 && !view.period ? 1
                                                         : pages.period.months;
    const Period &period = pages.period;
    if (period.month < 1 || period.month > 12 || period.months < 1 ||
        period.months > kMaxPeriodMonths || pages.perPage < 1 || pages.perPage > kMaxPeriodMonths ||
        !perRowAllowed(pages.perRow))
        return std::nullopt;
    const qint32 before = pages.quarterly ? -1 : 0;
    const qint32 after = period.months - 1 + (pages.quarterly ? 1 : 0);
    if (!isCalendarYear(monthOfPeriod(period, before).year) ||
        !isCalendarYear(monthOfPeriod(period, after).year))
        return std::nullopt;
    return pages;
}

std::vector<qint32> shownYears(const SheetRequest &request)
{
    if (request.view.described())
        return {request.year};
    const std::optional<PeriodPages> pages = requestPages(request);
    if (!pages)
        return {request.year};
    std::vector<qint32> years = periodYears(*pages);
    if (request.view.neighbourDays) {
        // The days before the first month and after the last one show their marks too.
        const qint32 extra = pages->quarterly ? 2 : 1;
        for (const qint32 i : {-extra, pages->period.months - 1 + extra}) {
            const qint32 year = monthOfPeriod(pages->period, i).year;
            if (isCalendarYear(year) && std::find(years.begin(), years.end(), year) == years.end())
                years.push_back(year);
        }
        std::sort(years.begin(), years.end());
    }
    return years;
}

std::variant<Sheet, SheetError> Sheet::plan(SheetRequest request)
{
    if (!isCalendarYear(request.year) || request.month < 0 || request.month > 12)
        return SheetError::Year;
    if (!request.glyphs)
        return SheetError::Empty;
    std::optional<PeriodPages> pages;
    if (!request.view.described()) {
        pages = requestPages(request);
        if (!pages)
            return SheetError::Period;
    }
    const QSize digitSize = request.glyphs->picChisla[0].size();
    const qint32 weekdayWidth = request.glyphs->picDniNedeli[0].width();
    const bool designed = pages && !request.view.describedLayout();
    const auto layout =
        designed ? std::variant<SheetGeometry, SheetError>(SheetGeometry{})
        : pages  ? pageGeometry(request, *pages)
        : request.month == 0
            ? yearGeometry(digitSize, weekdayWidth, request.spacings, request.monthsPerRowIndex)
            : monthGeometry(digitSize, weekdayWidth, request.spacings);
    if (const auto *error = std::get_if<SheetError>(&layout))
        return *error;
    Sheet sheet(std::move(request), std::get<SheetGeometry>(layout), pages);
    if (sheet.m_designError)
        return *sheet.m_designError;
    if (sheet.m_plan->pages.empty())
        return SheetError::Empty;
    if (designed) {
        // The geometry the window reads: the first page's one canvas.
        const QSize size = sheet.m_plan->pages.front().canvases.front().size;
        sheet.m_geometry.canvasWidth = size.width();
        sheet.m_geometry.canvasHeight = size.height();
        sheet.m_geometry.totalHeight = size.height();
    }
    return sheet;
}

Sheet::Sheet(SheetRequest request, const SheetGeometry &geometry,
             const std::optional<PeriodPages> &pages)
    : m_request(std::move(request)), m_geometry(geometry), m_pages(pages),
      m_pixelGlyphs(m_request.glyphs)
{
    layOut();
}

Sheet Sheet::onPage(qint32 p) const
{
    Sheet shown = *this;
    shown.m_page = std::clamp(p, 0, pageCount() - 1);
    return shown;
}

void Sheet::layOut()
{
    if (m_pages) {
        YearHolidays holidays = m_request.otherYears;
        holidays[m_request.year] = m_request.holidays;
        const PeriodDays days{holidays, m_request.Chisla,
                              isSizeCheck(m_request.glyphs->ProverkaRazmerov)};
        if (m_request.view.describedLayout()) {
            m_plan = std::make_shared<const SheetPlan>(periodPlan(m_geometry, *m_pages, days));
        } else {
            auto designed = designedPlan(designGlyphs(*m_request.glyphs), m_request.spacings,
                                         m_request.view, *m_pages, days);
            if (auto *error = std::get_if<SheetError>(&designed)) {
                m_designError = *error;
                m_plan = std::make_shared<const SheetPlan>();
            } else {
                m_designError.reset();
                m_plan =
                    std::make_shared<const SheetPlan>(std::get<SheetPlan>(std::move(designed)));
            }
        }
        m_pixelPlan = m_scale == 1.0
                          ? m_plan
                          : std::make_shared<const SheetPlan>(scaledPlan(*m_plan, m_scale));
        return;
    }
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

void Sheet::setHolidays(const clsPrazdniki &holidays, const YearHolidays &otherYears)
{
    m_request.holidays = holidays;
    m_request.otherYears = otherYears;
    layOut();
}

std::variant<Sheet, QString> Sheet::atResolution(int dpi) const
{
    if (m_request.glyphs->kind != GlyphKind::Vector || dpi == kDefaultDpi)
        return *this;
    const double scale = double(dpi) / kDefaultDpi;
    for (const PagePlan &page : m_plan->pages)
        if (const std::optional<QSize> oversize = oversizeAt(page, scale))
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
    QString caption = sizeText();
    if (m_request.month != 0 && !m_pages)
        caption += QStringLiteral(" - ") + monthNames().at(m_request.month - 1);
    return caption;
}

QString Sheet::sizeText() const
{
    if (m_scale == 1.0 && !m_pages)
        return sizeCaption(m_geometry);
    // The first page, the fullest, in output pixels, its height counted as the layout counts it.
    const PagePlan &first = m_pixelPlan->pages.front();
    const QSize canvas = first.canvases.front().size;
    SheetGeometry scaled = m_geometry;
    scaled.canvasWidth = canvas.width();
    scaled.totalHeight =
        static_cast<qint32>(canvas.height() + qint64(first.canvases.size() - 1) * first.pitch);
    QString text = sizeCaption(scaled);
    if (pageCount() > 1)
        text += QStringLiteral(" - Страниц: %1").arg(pageCount());
    return text;
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
