#pragma once

#include <QDate>

#include <libical/ical.h>

#include <set>

namespace vexilo {

// Rule periods (days, weeks, months, years) that libical may walk for one file, over all its
// rules, whether they yield days or not, and the instances it gives; a month or a year costs
// libical about three days. About 0.7 s at some 12 µs a step.
inline constexpr qint64 kMaxIcsRuleSteps = 60000;

struct IcsRuleBudget
{
    qint64 occurrences = 0;
    qint64 steps = 0;
};

enum class IcsRuleFault {
    None,
    TooMany,  // more occurrences than one file may have
    TooLong,  // more rule steps than one file may ask for
    SubDaily, // a rule repeating hourly or more often, on an all-day event
    TooFar,   // more years than libical can follow
};

struct IcsRuleWindow
{
    QDate from; // instances starting earlier are not wanted
    QDate last; // nor those starting later
};

// Adds to `starts` the instances of an all-day event's rule that start within the window,
// beside DTSTART (which the caller holds). Dates are those of the proleptic Gregorian
// calendar in every year: libical is given only years it counts right (1753–2582), with the
// rule moved by whole 400-year cycles, in which the calendar and its weekdays repeat.
IcsRuleFault expandIcsRule(icalrecurrencetype rule, const QDate &start, const IcsRuleWindow &window,
                           IcsRuleBudget &budget, std::set<QDate> &starts);

} // namespace vexilo
