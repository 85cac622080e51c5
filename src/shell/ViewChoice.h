#pragma once

#include "compose/sheet/CalendarView.h"

#include <QString>

#include <cstdint>

namespace vexilo {

// The kinds of calendar «Вид календаря…» offers; each fills the period fields its own way.
enum class ViewPreset : std::uint8_t { YearOrMonth, SchoolYear, Wall, Quarterly };

// What the dialog chose: a preset and the view its fields and layout options make. For
// «Год или месяц» the view has no period: the window's year and month lists decide.
struct ViewChoice
{
    ViewPreset preset = ViewPreset::YearOrMonth;
    CalendarView view{};

    friend bool operator==(const ViewChoice &a, const ViewChoice &b)
    {
        return a.preset == b.preset && sameView(a.view, b.view);
    }
    static bool sameView(const CalendarView &a, const CalendarView &b);
};

// The gap between a month's title and the month the dialog offers, in the units of the spacings.
inline constexpr qint32 kMinTitleGap = -999;
inline constexpr qint32 kMaxTitleGap = 9999;

// The preset's name as the dialog lists it.
QString presetName(ViewPreset preset);

// The period, pages and rows a preset starts from in `year`, with the layout of `layout`:
// September to August, January to December a month a page, or the quarterly pages of the year.
CalendarView presetView(ViewPreset preset, qint32 year, const CalendarView &layout = {});

// The line the main window shows under its controls when the view is not the described sheet:
// the preset, the months it draws and the layout options; empty for the described sheet.
QString viewSummary(const ViewChoice &choice);

} // namespace vexilo
