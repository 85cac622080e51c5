#pragma once

#include "common/CalendarMath.h"
#include "compose/GlyphInk.h"
#include "compose/GlyphPictures.h"
#include "compose/GlyphSet.h"
#include "compose/SheetLayout.h"
#include "compose/SheetOutput.h"
#include "holidays/clsPrazdniki.h"

#include <memory>
#include <mutex>
#include <variant>
#include <vector>

namespace vexilo {

struct SheetContext
{
    const LoadedGlyphs &glyphs;
    const clsPrazdniki &holidays;             // the year's live entry
    const std::array<qint32, 32> &Chisla;     // number drawn for each day
    const std::array<qint32, 13> &DniMesyaca; // with February set for the year
    std::array<qint32, 13> firstWeekday{};
    qint64 top = 0; // the canvas row at the image's first row, when drawing a band of it
    // Only the glyphs' ink is copied onto the white canvas: the pixels of a whole copy, fewer
    // bytes. Off, every glyph is copied whole.
    bool inkOnly = true;
    // When set, the glyphs are listed here in drawing order instead of drawn.
    std::vector<GlyphPlace> *places = nullptr;
};

// Draws row k of a year sheet onto a white canvas of the geometry's size.
void drawYearCanvas(QImage &canvas, qint32 k, const SheetGeometry &geometry,
                    const SheetContext &context);
// Draws month M (1..12) onto a white canvas of the geometry's size.
void drawMonthCanvas(QImage &canvas, qint32 M, const SheetGeometry &geometry,
                     const SheetContext &context);

// Opaque copy of a glyph image at its natural size, clipped at the canvas edges.
void copyGlyph(QImage &canvas, const QImage &glyph, qint64 x, qint64 y);

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
};

// The request for pixels at `dpi`: a vector set rendered at dpi/96 pixels per CSS pixel and
// the spacings scaled with it, so the sheet keeps its physical size. A raster set's request,
// or one at 96 dpi, is returned as it is.
SheetRequest atResolution(SheetRequest request, int dpi);

// One sheet, year or month: the checks and the geometry first, then its canvases one at a
// time, so a window can place them before they are drawn and an export can write each as it
// comes. Drawing reads only the request, so canvases may be drawn side by side.
class Sheet final : public CanvasSource
{
public:
    // The year rule, then the geometry; an error says what the user is told.
    static std::variant<Sheet, SheetError> plan(SheetRequest request);

    const SheetGeometry &geometry() const { return m_geometry; }
    qint32 canvasCount() const override { return m_geometry.KolRisunkov + 1; }
    QSize canvasSize() const override { return {m_geometry.canvasWidth, m_geometry.canvasHeight}; }
    qint32 canvasPitch() const override { return m_geometry.ShagRisunkov; }
    void drawCanvas(QImage &white, qint32 k, qint32 top) const override { draw(white, k, top); }
    const LoadedGlyphs *glyphSet() const override { return m_request.glyphs.get(); }
    std::vector<GlyphPlace> glyphPlaces(qint32 k) const override;
    // What follows the window's caption: " - Размер: WxH", and " - Месяц" for a month.
    QString caption() const;

    // The same sheet for pixels at `dpi` (see the free atResolution).
    std::variant<Sheet, SheetError> atResolution(int dpi) const
    {
        return plan(vexilo::atResolution(m_request, dpi));
    }

    // Marks looked up again after the window let events run.
    void setHolidays(const clsPrazdniki &holidays) { m_request.holidays = holidays; }

    // Canvas k, white and drawn.
    QImage canvas(qint32 k) const;
    // Draws canvas k onto a white image of the geometry's size, or the band of it that starts
    // at row `top` onto a white image of the band's size. An image with alpha is taken as a
    // transparent background, and the glyphs keep their own transparency on it.
    void draw(QImage &canvas, qint32 k, qint32 top = 0) const;

private:
    Sheet(SheetRequest request, const SheetGeometry &geometry);
    void drawTransparent(QImage &canvas, qint32 k, qint32 top) const;

    SheetRequest m_request;
    SheetGeometry m_geometry;
    std::array<qint32, 13> m_days;
    std::array<qint32, 13> m_firstWeekday;
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
