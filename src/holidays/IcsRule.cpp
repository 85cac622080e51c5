#include "IcsRule.h"

#include "holidays/IcsImport.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <numeric>

namespace vexilo {

namespace {

// libical counts leap years before 1753 the Julian way and follows no rule past 2582.
const QDate kIcalFirst(1753, 1, 1);
const QDate kIcalLast(2582, 12, 31);
constexpr int kCycleYears = 400;

struct IteratorFreer
{
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};

icaltimetype icalDate(const QDate &date)
{
    icaltimetype time = icaltime_null_time();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    time.is_date = 1;
    return time;
}

QDate dateOf(const icaltimetype &time)
{
    if (icaltime_is_null_time(time))
        return {};
    return QDate(time.year, time.month, time.day);
}

// UNTIL on a day the month lacks (29 February 1700, as libical allows) ends the day before.
QDate untilOf(const icaltimetype &until)
{
    if (icaltime_is_null_time(until) || until.month < 1 || until.month > 12 || until.year < 1)
        return {};
    const QDate month(until.year, until.month, 1);
    return month.isValid() ? month.addDays(std::clamp(until.day, 1, month.daysInMonth()) - 1)
                           : QDate();
}

int ceilDiv(int a, int b)
{
    return a / b + (a % b != 0 && a > 0 ? 1 : 0);
}

// Units of the rule's frequency in one 400-year cycle.
qint64 unitsPerCycle(icalrecurrencetype_frequency freq)
{
    switch (freq) {
    case ICAL_YEARLY_RECURRENCE:
        return 400;
    case ICAL_MONTHLY_RECURRENCE:
        return 4800;
    case ICAL_WEEKLY_RECURRENCE:
        return 20871;
    default:
        return 146097;
    }
}

// Years after which the rule's instances repeat: whole cycles holding whole intervals.
qint64 periodYears(const icalrecurrencetype &rule)
{
    const qint64 interval = std::max<qint64>(rule.interval, 1);
    return kCycleYears * (interval / std::gcd(interval, unitsPerCycle(rule.freq)));
}

qint64 weightOf(const icalrecurrencetype &rule)
{
    return rule.freq == ICAL_YEARLY_RECURRENCE || rule.freq == ICAL_MONTHLY_RECURRENCE ? 3 : 1;
}

// The date the given weighted steps of the rule reach from a date.
QDate afterSteps(const icalrecurrencetype &rule, const QDate &from, qint64 steps)
{
    const qint64 periods =
        std::min<qint64>(steps / weightOf(rule) * std::max<qint64>(rule.interval, 1), 4000000);
    switch (rule.freq) {
    case ICAL_YEARLY_RECURRENCE:
        return from.addYears(static_cast<int>(std::min<qint64>(periods, 10000)));
    case ICAL_MONTHLY_RECURRENCE:
        return from.addMonths(static_cast<int>(std::min<qint64>(periods, 120000)));
    case ICAL_WEEKLY_RECURRENCE:
        return from.addDays(periods * 7);
    default:
        return from.addDays(periods);
    }
}

// The periods libical steps through from one date to another, weighted by their cost.
qint64 stepsBetween(const icalrecurrencetype &rule, const QDate &from, const QDate &to)
{
    if (to < from)
        return 1;
    qint64 units = 0;
    switch (rule.freq) {
    case ICAL_YEARLY_RECURRENCE:
        units = to.year() - from.year();
        break;
    case ICAL_MONTHLY_RECURRENCE:
        units = qint64(to.year() - from.year()) * 12 + to.month() - from.month();
        break;
    case ICAL_WEEKLY_RECURRENCE:
        units = from.daysTo(to) / 7;
        break;
    default:
        units = from.daysTo(to);
        break;
    }
    return (units / std::max<qint64>(rule.interval, 1) + 1) * weightOf(rule);
}

// A date has no time of day; RFC 5545 forbids these parts beside one, and libical would walk
// every second of every day for them.
void clearTimeParts(icalrecurrencetype &rule)
{
    // libical reads past the end mark, so the whole lists are cleared.
    std::fill(std::begin(rule.by_second), std::end(rule.by_second), ICAL_RECURRENCE_ARRAY_MAX);
    std::fill(std::begin(rule.by_minute), std::end(rule.by_minute), ICAL_RECURRENCE_ARRAY_MAX);
    std::fill(std::begin(rule.by_hour), std::end(rule.by_hour), ICAL_RECURRENCE_ARRAY_MAX);
}

qsizetype listed(const short *list, qsizetype size)
{
    qsizetype count = 0;
    while (count < size && list[count] != ICAL_RECURRENCE_ARRAY_MAX)
        ++count;
    return count;
}

// Whether any listed month day fits any listed month.
bool monthDaysFit(const icalrecurrencetype &rule)
{
    const qsizetype days = listed(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    if (days == 0)
        return true;
    int longest = 0;
    const qsizetype months = listed(rule.by_month, ICAL_BY_MONTH_SIZE);
    for (qsizetype i = 0; i < months; ++i) {
        const int month = icalrecurrencetype_month_month(rule.by_month[i]);
        if (month >= 1 && month <= 12)
            longest = std::max(longest, QDate(2000, month, 1).daysInMonth());
    }
    if (months == 0)
        longest = 31;
    for (qsizetype i = 0; i < days; ++i)
        if (rule.by_month_day[i] != 0 && std::abs(rule.by_month_day[i]) <= longest)
            return true;
    return false;
}

// How many days one period of the rule can hold at most, before BYSETPOS picks among them.
qsizetype candidatesPerPeriod(const icalrecurrencetype &rule)
{
    const bool monthly = rule.freq == ICAL_MONTHLY_RECURRENCE;
    const qsizetype months = listed(rule.by_month, ICAL_BY_MONTH_SIZE);
    if (rule.freq == ICAL_DAILY_RECURRENCE)
        return 1;
    if (rule.freq == ICAL_WEEKLY_RECURRENCE)
        return std::max<qsizetype>(listed(rule.by_day, ICAL_BY_DAY_SIZE), 1);
    if (!monthly && (listed(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) > 0 ||
                     listed(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) > 0))
        return 366;
    const bool withinMonths = monthly || months > 0;
    qsizetype weekdays = 0;
    const qsizetype byDay = listed(rule.by_day, ICAL_BY_DAY_SIZE);
    for (qsizetype i = 0; i < byDay; ++i)
        weekdays += icalrecurrencetype_day_position(rule.by_day[i]) != 0 ? 1
                    : withinMonths                                       ? 5
                                                                         : 53;
    const qsizetype monthDays = listed(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    qsizetype perMonth = 1;
    if (byDay > 0 && monthDays > 0)
        perMonth = std::min(weekdays, monthDays);
    else if (byDay > 0)
        perMonth = weekdays;
    else if (monthDays > 0)
        perMonth = monthDays;
    if (monthly || (byDay > 0 && monthDays == 0 && !withinMonths))
        return perMonth;
    return perMonth * (months > 0 ? months : 12);
}

// Rules that can never give a day, which libical takes up to seconds to find out.
bool barren(const icalrecurrencetype &rule)
{
    if (!monthDaysFit(rule))
        return true;
    const bool withinMonths =
        rule.freq == ICAL_MONTHLY_RECURRENCE ||
        (rule.freq == ICAL_YEARLY_RECURRENCE && listed(rule.by_month, ICAL_BY_MONTH_SIZE) > 0);
    const qsizetype byDay = listed(rule.by_day, ICAL_BY_DAY_SIZE);
    bool weekdayFits = byDay == 0;
    for (qsizetype i = 0; i < byDay; ++i)
        weekdayFits = weekdayFits || std::abs(icalrecurrencetype_day_position(rule.by_day[i])) <=
                                         (withinMonths ? 5 : 53);
    if (!weekdayFits)
        return true;
    const qsizetype positions = listed(rule.by_set_pos, ICAL_BY_SETPOS_SIZE);
    if (positions == 0)
        return false;
    const qsizetype candidates = candidatesPerPeriod(rule);
    for (qsizetype i = 0; i < positions; ++i)
        if (rule.by_set_pos[i] != 0 && std::abs(rule.by_set_pos[i]) <= candidates)
            return false;
    return true;
}

} // namespace

IcsRuleFault expandIcsRule(icalrecurrencetype rule, const QDate &start, const IcsRuleWindow &window,
                           IcsRuleBudget &budget, std::set<QDate> &starts)
{
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE:
    case ICAL_MINUTELY_RECURRENCE:
    case ICAL_HOURLY_RECURRENCE:
        return IcsRuleFault::SubDaily;
    case ICAL_DAILY_RECURRENCE:
    case ICAL_WEEKLY_RECURRENCE:
    case ICAL_MONTHLY_RECURRENCE:
    case ICAL_YEARLY_RECURRENCE:
        break;
    default:
        return IcsRuleFault::None; // a rule libical cannot follow adds nothing
    }
    clearTimeParts(rule);
    QDate end = window.last;
    if (const QDate until = untilOf(rule.until); until.isValid())
        end = std::min(end, until);
    if (end <= start)
        return IcsRuleFault::None;
    const int count = rule.count;

    // Without COUNT, the rule may start as many whole periods later as stay before the
    // window, so that libical walks only the years wanted.
    QDate base = start;
    if (count == 0 && window.from > start) {
        const qint64 periods = (window.from.year() - 1 - start.year()) / periodYears(rule);
        if (periods > 0)
            base = start.addYears(static_cast<int>(periods * periodYears(rule)));
    }
    const int shift = kCycleYears * ceilDiv(kIcalFirst.year() - base.year(), kCycleYears);
    const bool truncated = end.addYears(shift) > kIcalLast;
    const QDate walkFrom = count == 0 ? std::max(base, window.from) : base;
    if (count == 0) {
        budget.steps += stepsBetween(rule, walkFrom, end);
        if (budget.steps > kMaxIcsRuleSteps)
            return IcsRuleFault::TooLong;
        if (truncated)
            return IcsRuleFault::TooFar;
    }

    // COUNT is counted here, so that UNTIL can bound how far libical walks: to the end
    // wanted, the years it counts right, and the steps left.
    QDate walkTo = std::min(end.addYears(shift), kIcalLast);
    const QDate affordable =
        afterSteps(rule, base, kMaxIcsRuleSteps - budget.steps).addYears(shift);
    const bool unaffordable = count > 0 && affordable < walkTo;
    if (unaffordable)
        walkTo = affordable;
    rule.count = 0;
    rule.until = icalDate(walkTo);
    if (barren(rule))
        return IcsRuleFault::None; // as libical would find, only slower
    std::unique_ptr<icalrecur_iterator, IteratorFreer> iterator(
        icalrecur_iterator_new(rule, icalDate(base.addYears(shift))));
    if (!iterator)
        return IcsRuleFault::None;
    if (walkFrom > base)
        icalrecur_iterator_set_start(iterator.get(), icalDate(walkFrom.addYears(shift)));
    int produced = 0;
    QDate previous = base;
    for (;;) {
        const icaltimetype next = icalrecur_iterator_next(iterator.get());
        const QDate shifted = dateOf(next);
        if (icaltime_is_null_time(next)) {
            if (count > 0)
                budget.steps += stepsBetween(rule, previous, walkTo.addYears(-shift));
            if (count > 0 && produced < count && unaffordable)
                return IcsRuleFault::TooLong;
            if (count > 0 && produced < count && truncated)
                return IcsRuleFault::TooFar;
            return IcsRuleFault::None;
        }
        if (!shifted.isValid())
            continue;
        const QDate date = shifted.addYears(-shift);
        if (count > 0) {
            // Walked before COUNT is reached, so charged as it goes.
            budget.steps += stepsBetween(rule, previous, date);
            previous = date;
            if (budget.steps > kMaxIcsRuleSteps)
                return IcsRuleFault::TooLong;
            if (++produced > count)
                return IcsRuleFault::None;
        }
        if (++budget.occurrences > kMaxIcsOccurrences)
            return IcsRuleFault::TooMany;
        // A period may hold many instances, each of them another step for libical.
        if (count == 0 && ++budget.steps > kMaxIcsRuleSteps)
            return IcsRuleFault::TooLong;
        if (date > end)
            return IcsRuleFault::None;
        if (date >= window.from)
            starts.insert(date);
    }
}

} // namespace vexilo
