#pragma once

#include "compose/SheetLayout.h"

#include <variant>
#include <vector>

namespace vexilo {

struct RenderedSheet
{
    SheetGeometry geometry;
    std::vector<QImage> canvases; // one per row of months; one for a month sheet
};

struct SheetRequest
{
    GlyphView glyphs;
    const clsPrazdniki &holidays;
    qint32 year = 2013;
    qint32 month = 0; // 1..12 for a month sheet, 0 for the whole year
    int monthsPerRowIndex = 2;
    Spacings spacings;
};

// The whole sheet in one call, as the main window draws it, for callers without a window.
std::variant<RenderedSheet, SheetError> renderSheet(const SheetRequest &request);

// Day numbers 1..31 and the month lengths with February for the year.
std::array<qint32, 32> standardDayNumbers();
std::array<qint32, 13> monthLengthsOf(qint32 year);

} // namespace vexilo
