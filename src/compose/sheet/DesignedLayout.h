#pragma once

#include "compose/sheet/SheetPlan.h"

#include <QSize>

#include <array>
#include <variant>

namespace vexilo {

// The boxes a designed layout is measured from, in layout units.
struct DesignGlyphs
{
    QSize digit;                  // every digit's box ("0")
    QSize weekday;                // every name's box ("Пн")
    std::array<QSize, 12> titles; // January first; empty where the set has none
};

// A period in the layout the view asks for (weekdays as rows or across, the week's first
// day, month titles, year title, week numbers, neighbouring days): one canvas per page.
//
// Weekdays as rows: each month is six week columns, `2·digit + «Числа X»` wide and «Даты X»
// apart, of seven weekday rows, `max(digit, name) height + «Даты Y»` apart; the names stand
// left of each row of months and, on pages of several months, right of it, «Месяцы X» from
// the months. Weekdays across: each month is seven weekday columns, as wide as a number or a
// name, whichever is wider, «Даты X» apart, under a row of names `name height + «Даты Y»`
// high, with up to six week rows `digit height + «Даты Y»` apart. Months stand «Месяцы X»
// apart in a row and their rows «Месяцы Y» apart. Above a month: its title, aligned as asked,
// the title gap above the rest; week numbers take a row above the week columns, or a column
// `number + «Даты X»` wide left of the week rows. The year title, from the digits, stands
// centred above the page, «Месяцы Y» above the first row.
std::variant<SheetPlan, SheetError> designedPlan(const DesignGlyphs &glyphs,
                                                 const Spacings &spacings, const CalendarView &view,
                                                 const PeriodPages &pages, const PeriodDays &days);

} // namespace vexilo
