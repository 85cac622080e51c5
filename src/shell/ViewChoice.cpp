#include "ViewChoice.h"

#include "common/ProgramText.h"

#include <QStringList>

namespace vexilo {

bool ViewChoice::sameView(const CalendarView &a, const CalendarView &b)
{
    return a.period == b.period && a.perPage == b.perPage && a.monthsPerRow == b.monthsPerRow &&
           a.quarterly == b.quarterly && a.weekdaysAcross == b.weekdaysAcross &&
           a.weekStart == b.weekStart && a.monthTitles == b.monthTitles &&
           a.titleGap == b.titleGap && a.yearTitle == b.yearTitle &&
           a.weekNumbers == b.weekNumbers && a.neighbourDays == b.neighbourDays;
}

QString presetName(ViewPreset preset)
{
    switch (preset) {
    case ViewPreset::YearOrMonth:
        return QStringLiteral("Год или месяц");
    case ViewPreset::SchoolYear:
        return QStringLiteral("Учебный год");
    case ViewPreset::Wall:
        return QStringLiteral("Настенный");
    case ViewPreset::Quarterly:
        return QStringLiteral("Квартальный");
    }
    return {};
}

CalendarView presetView(ViewPreset preset, qint32 year, const CalendarView &layout)
{
    CalendarView view = layout;
    view.period.reset();
    view.perPage = 0;
    view.monthsPerRow = 0;
    view.quarterly = false;
    switch (preset) {
    case ViewPreset::YearOrMonth:
        break;
    case ViewPreset::SchoolYear:
        view.period = Period{year, 9, 12};
        view.perPage = 12;
        break;
    case ViewPreset::Wall:
        view.period = Period{year, 1, 12};
        view.perPage = 1;
        break;
    case ViewPreset::Quarterly:
        view.period = Period{year, 1, 12};
        view.perPage = 1;
        view.quarterly = true;
        break;
    }
    return view;
}

QString viewSummary(const ViewChoice &choice)
{
    const CalendarView &view = choice.view;
    if (view.described())
        return {};
    QStringList parts;
    if (view.period) {
        const Period &period = *view.period;
        const YearMonth first = monthOfPeriod(period, 0);
        const YearMonth last = monthOfPeriod(period, period.months - 1);
        const auto name = [](const YearMonth &m) {
            return QStringLiteral("%1 %2").arg(monthNames()[m.month - 1]).arg(m.year);
        };
        const qint32 pages = view.quarterly ? period.months
                                            : (period.months + std::max(view.perPage, 1) - 1) /
                                                  std::max(view.perPage, 1);
        parts << (period.months == 1 ? name(first)
                                     : QStringLiteral("%1 – %2").arg(name(first), name(last)))
              << QStringLiteral("месяцев: %1, страниц: %2").arg(period.months).arg(pages);
    }
    if (view.monthsPerRow == 1 && !view.quarterly)
        parts << QStringLiteral("одним столбцом");
    if (view.weekdaysAcross)
        parts << QStringLiteral("дни недели сверху");
    if (view.weekStart == WeekStart::Sunday)
        parts << QStringLiteral("неделя с воскресенья");
    if (view.monthTitles != TitleAlign::None)
        parts << QStringLiteral("названия месяцев");
    if (view.yearTitle)
        parts << QStringLiteral("год над листом");
    if (view.weekNumbers)
        parts << QStringLiteral("номера недель");
    if (view.neighbourDays)
        parts << QStringLiteral("дни соседних месяцев");
    return QStringLiteral("Вид календаря: «%1», %2.")
        .arg(presetName(choice.preset), parts.join(QStringLiteral(", ")));
}

} // namespace vexilo
