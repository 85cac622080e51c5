#include "SheetRender.h"

#include "common/CalendarMath.h"

namespace vexilo {

std::array<qint32, 32> standardDayNumbers()
{
    std::array<qint32, 32> chisla{};
    for (qint32 d = 1; d <= 31; ++d)
        chisla[static_cast<std::size_t>(d)] = d;
    return chisla;
}

std::array<qint32, 13> monthLengthsOf(qint32 year)
{
    return {0, 31, februaryLength(year), 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

std::variant<RenderedSheet, SheetError> renderSheet(const SheetRequest &request)
{
    const QSize digitSize = request.glyphs.picChisla[0].size();
    const qint32 weekdayWidth = request.glyphs.picDniNedeli[0].width();
    const auto layout =
        request.month == 0
            ? yearGeometry(digitSize, weekdayWidth, request.spacings, request.monthsPerRowIndex)
            : monthGeometry(digitSize, weekdayWidth, request.spacings);
    if (const auto *error = std::get_if<SheetError>(&layout))
        return *error;

    RenderedSheet sheet;
    sheet.geometry = std::get<SheetGeometry>(layout);
    const auto chisla = standardDayNumbers();
    const auto days = monthLengthsOf(request.year);
    const SheetContext context{request.glyphs, request.holidays, chisla, days,
                               firstWeekdays(request.year, days)};
    for (qint32 k = 0; k <= sheet.geometry.KolRisunkov; ++k) {
        QImage canvas(sheet.geometry.canvasWidth, sheet.geometry.canvasHeight,
                      QImage::Format_RGB32);
        canvas.fill(Qt::white);
        if (request.month == 0)
            drawYearCanvas(canvas, k, sheet.geometry, context);
        else
            drawMonthCanvas(canvas, request.month, sheet.geometry, context);
        sheet.canvases.push_back(std::move(canvas));
    }
    return sheet;
}

} // namespace vexilo
