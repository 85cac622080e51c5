#include "ViewOptions.h"
#include "RenderOptions.h"

#include "common/CalendarMath.h"
#include "common/CommandLine.h"
#include "compose/output/SheetRender.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>

#include <array>
#include <limits>
#include <optional>

namespace vexilo {

namespace {

const QString kMonthTitles = QStringLiteral("--month-titles");

const std::array<std::pair<const char *, TitleAlign>, 3> kAlignments = {{
    {"left", TitleAlign::Left},
    {"centre", TitleAlign::Centre},
    {"right", TitleAlign::Right},
}};

std::optional<TitleAlign> alignmentNamed(const QString &name)
{
    for (const auto &[word, align] : kAlignments)
        if (name == QLatin1String(word))
            return align;
    return std::nullopt;
}

QString nameOf(const QCommandLineOption &option)
{
    return QStringLiteral("--") + option.names().constLast();
}

std::optional<qint64> integerIn(const QString &text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// "2026-09": a calendar year of four digits and a month.
std::optional<Period> firstMonth(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const qint32 year = match.captured(1).toInt();
    const qint32 month = match.captured(2).toInt();
    if (!isCalendarYear(year) || month < 1 || month > 12)
        return std::nullopt;
    return Period{year, month, 12};
}

} // namespace

QStringList withMonthTitleValues(const QStringList &arguments, const RenderOptions &options)
{
    // A value option's own value is passed over: "-o --month-titles" names a file.
    QSet<QString> takingValues;
    for (const QCommandLineOption &option : options.all()) {
        if (option.valueName().isEmpty() || option.names().contains(kMonthTitles.mid(2)))
            continue;
        for (const QString &name : option.names())
            takingValues.insert((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
                                name);
    }
    QStringList joined;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasNext = i + 1 < arguments.size();
        if (i == 0 || argument != kMonthTitles) {
            joined << argument;
            if (i > 0 && argument == QStringLiteral("--")) {
                joined << arguments.mid(i + 1);
                break;
            }
            if (i > 0 && hasNext && takingValues.contains(argument))
                joined << arguments[++i];
            continue;
        }
        // A word that is no option is its value, so a misspelt one is named as such.
        if (hasNext && !arguments[i + 1].startsWith(QLatin1Char('-')))
            joined << kMonthTitles + QLatin1Char('=') + arguments[++i];
        else
            joined << kMonthTitles + QStringLiteral("=centre");
    }
    return joined;
}

std::variant<ViewRequest, QString> readView(const QCommandLineParser &parser,
                                            const RenderOptions &o, ViewRequest request)
{
    CalendarView &view = request.view;
    const bool from = parser.isSet(o.from);
    const bool months = parser.isSet(o.months);
    const bool perPage = parser.isSet(o.perPage);
    view.quarterly = parser.isSet(o.quarterly);
    auto together = [](const QCommandLineOption &a, const QCommandLineOption &b) {
        const auto name = [](const QCommandLineOption &option) {
            const QString &first = option.names().constFirst();
            return (first.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + first;
        };
        return QStringLiteral("%1 и %2 не задаются вместе").arg(name(a), name(b));
    };
    // --from names its year and month itself.
    if (from && parser.isSet(o.year))
        return together(o.from, o.year);
    if (from && parser.isSet(o.month))
        return together(o.from, o.month);
    // A quarterly calendar has one month on each page, in one column.
    if (view.quarterly && perPage)
        return together(o.quarterly, o.perPage);
    if (view.quarterly && parser.isSet(o.perRow))
        return together(o.quarterly, o.perRow);

    const QString range = QStringLiteral("от 1 до %1").arg(kMaxPeriodMonths);
    qint32 count = 12;
    if (months) {
        const auto value = integerIn(parser.value(o.months), 1, kMaxPeriodMonths);
        if (!value)
            return badValueReason(nameOf(o.months), range, parser.value(o.months));
        count = static_cast<qint32>(*value);
    }
    if (perPage) {
        const auto value = integerIn(parser.value(o.perPage), 1, kMaxPeriodMonths);
        if (!value)
            return badValueReason(nameOf(o.perPage), range, parser.value(o.perPage));
        view.perPage = static_cast<qint32>(*value);
    }
    if (from) {
        const std::optional<Period> first = firstMonth(parser.value(o.from));
        if (!first)
            return badValueReason(
                nameOf(o.from),
                QStringLiteral("месяцем ГГГГ-ММ с %1-01 по %2-12").arg(kFirstYear).arg(kLastYear),
                parser.value(o.from));
        view.period = Period{first->year, first->month, count};
    } else if (months || (view.quarterly && request.month != 0)) {
        // From the month of -m, else from January of the year.
        view.period = Period{static_cast<qint32>(request.year),
                             request.month != 0 ? request.month : 1, months ? count : 1};
    }
    if (view.period) {
        request.year = view.period->year;
        request.month = 0;
    }

    view.weekdaysAcross = parser.isSet(o.weekdaysAcross);
    view.weekStart = parser.isSet(o.sundayFirst) ? WeekStart::Sunday : WeekStart::Monday;
    if (parser.isSet(o.monthTitles)) {
        const std::optional<TitleAlign> align = alignmentNamed(parser.value(o.monthTitles));
        if (!align)
            return badValueReason(nameOf(o.monthTitles), QStringLiteral("left, centre или right"),
                                  parser.value(o.monthTitles));
        view.monthTitles = *align;
    }
    const auto gap = integerIn(parser.value(o.titleGap), std::numeric_limits<qint64>::min(),
                               std::numeric_limits<qint64>::max());
    if (!gap)
        return badValueReason(nameOf(o.titleGap), QStringLiteral("целым числом"),
                              parser.value(o.titleGap));
    view.titleGap = static_cast<double>(*gap);
    view.yearTitle = parser.isSet(o.yearTitle);
    view.weekNumbers = parser.isSet(o.weekNumbers);
    view.neighbourDays = parser.isSet(o.neighbourDays);

    // A year out of the range gets the window's message later, as before.
    if (!isCalendarYear(request.year) || view.described())
        return request;
    SheetRequest sheet;
    sheet.year = static_cast<qint32>(request.year);
    sheet.month = request.month;
    sheet.monthsPerRowIndex = request.perRowIndex;
    sheet.view = view;
    if (!requestPages(sheet)) {
        // The checks above leave only months beyond the calendar's years.
        return QStringLiteral("месяцы календаря выходят за %1..%2 годы")
            .arg(kFirstYear)
            .arg(kLastYear);
    }
    return request;
}

QString defaultSheetName(const ViewRequest &request)
{
    const CalendarView &view = request.view;
    QString name;
    if (view.period)
        name = QStringLiteral("календарь-%1-%2-%3м")
                   .arg(view.period->year)
                   .arg(view.period->month, 2, 10, QLatin1Char('0'))
                   .arg(view.period->months);
    else if (request.month == 0)
        name = QStringLiteral("календарь-%1").arg(request.year);
    else
        name = QStringLiteral("календарь-%1-%2")
                   .arg(request.year)
                   .arg(request.month, 2, 10, QLatin1Char('0'));
    if (view.quarterly)
        name += QStringLiteral("-квартальный");
    return name;
}

} // namespace vexilo
