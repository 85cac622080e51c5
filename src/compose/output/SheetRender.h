#pragma once

#include "common/CalendarMath.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/GlyphPictures.h"
#include "compose/output/SheetOutput.h"
#include "compose/sheet/SheetLayout.h"
#include "compose/sheet/SheetPlan.h"
#include "holidays/clsPrazdniki.h"

#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace vexilo {

// Everything a sheet is drawn from.
struct SheetRequest
{
    SharedGlyphs glyphs;
    clsPrazdniki holidays; // the year's marks
    qint32 year = 2013;
    qint32 month = 0; // 1..12 for a month sheet, 0 for the whole year
    int monthsPerRowIndex = 2;
    Spacings spacings;
    std::array<qint32, 32> Chisla = standardDayNumbers(); // number drawn for each day
    // Beyond the described sheet: the period, its pages and the layout of its months.
    CalendarView view{};
    // The marks of the period's other years (`holidays` are those of `year`).
    YearHolidays otherYears{};
};

// How the request's months go onto pages, once the view is applied: January to December of
// the year, or its month, unless the view gives a period. Nothing when the view cannot be
// drawn (a period beyond the calendar years, more than kMaxPeriodMonths months, months per
// page or per row out of range).
std::optional<PeriodPages> requestPages(const SheetRequest &request);
// The years whose marks the sheet shows, first to last; the request's year for the described
// sheets.
std::vector<qint32> shownYears(const SheetRequest &request);

// What the user is told when a sheet of `pixels` is too large at `dpi`.
QString resolutionTooLargeMessage(int dpi, QSize pixels);

// One sheet, year or month: the checks, the geometry and the plan first, then its canvases
// one at a time, so a window can place them before they are drawn and an export can write
// each as it comes. Drawing reads only the plan and the glyphs, so canvases may be drawn side
// by side.
class Sheet final : public CanvasSource
{
public:
    // The year rule, then the geometry and the plan; an error says what the user is told.
    static std::variant<Sheet, SheetError> plan(SheetRequest request);

    // The layout, in layout units (the set's CSS pixels for a vector set).
    const SheetGeometry &geometry() const { return m_geometry; }
    const SheetRequest &request() const { return m_request; }
    // Pages of a period; the canvases below are those of the page shown, the first unless
    // onPage chose another.
    qint32 pageCount() const { return qint32(m_pixelPlan->pages.size()); }
    qint32 pageIndex() const { return m_page; }
    Sheet onPage(qint32 p) const;
    const SheetPlan &sheetPlan() const { return *m_plan; }
    // The canvases in output pixels: the layout at this sheet's resolution.
    qint32 canvasCount() const override { return qint32(page().canvases.size()); }
    QSize canvasSize() const override { return page().canvases.front().size; }
    qint32 canvasPitch() const override { return page().pitch; }
    void drawCanvas(QImage &white, qint32 k, qint32 top) const override { draw(white, k, top); }
    const GlyphSet *glyphSet() const override { return m_pixelGlyphs.get(); }
    std::vector<GlyphPlace> glyphPlaces(qint32 k) const override;
    // What follows the window's caption: " - Размер: WxH", and " - Месяц" for a month.
    QString caption() const;
    // " - Размер: WxH" of the canvases in output pixels.
    QString sizeText() const;

    // The same sheet for pixels at `dpi`: the same layout, a vector set's glyphs rendered at
    // dpi/96 pixels per CSS pixel at their scaled places, so the sheet keeps its physical
    // size. A raster set's sheet, or one at 96 dpi, stays as it is. Refused, with what the
    // user is told, before anything is rendered when the sheet would be too large.
    std::variant<Sheet, QString> atResolution(int dpi) const;

    // Marks looked up again after the window let events run.
    void setHolidays(const clsPrazdniki &holidays);
    void setHolidays(const clsPrazdniki &holidays, const YearHolidays &otherYears);

    // Canvas k, white and drawn.
    QImage canvas(qint32 k) const;
    // Draws canvas k onto a white image of the canvas size, or the band of it that starts
    // at row `top` onto a white image of the band's size. An image with alpha is taken as a
    // transparent background, and the glyphs keep their own transparency on it.
    void draw(QImage &canvas, qint32 k, qint32 top = 0) const;

private:
    Sheet(SheetRequest request, const SheetGeometry &geometry,
          const std::optional<PeriodPages> &pages);
    void layOut();
    const PagePlan &page() const { return m_pixelPlan->pages[static_cast<std::size_t>(m_page)]; }

    SheetRequest m_request;
    SheetGeometry m_geometry;
    std::optional<PeriodPages> m_pages; // a period drawn by periodPlan, else the described sheet
    qint32 m_page = 0;
    std::optional<SheetError> m_designError;      // a designed layout that cannot be drawn
    std::shared_ptr<const SheetPlan> m_plan;      // in layout units
    double m_scale = 1.0;                         // output pixels per layout unit
    std::shared_ptr<const SheetPlan> m_pixelPlan; // the plan at m_scale
    SharedGlyphs m_pixelGlyphs;                   // the glyphs at m_scale
    // The glyphs for transparent backgrounds, made when first needed; canvases drawn side by
    // side share them.
    struct Pictures
    {
        std::once_flag made;
        GlyphPictures pictures;
    };
    std::shared_ptr<Pictures> m_pictures = std::make_shared<Pictures>();
};

} // namespace vexilo
