#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <set>
#include <utility>
#include <variant>

namespace vexilo {

// (month, day) pairs of one year.
using YearDays = std::set<std::pair<qint32, qint32>>;

// One year as an official calendar gives it: the days off, and the Saturdays and Sundays
// that are working days there.
struct YearMarks
{
    YearDays daysOff;
    YearDays workingWeekend;

    bool operator==(const YearMarks &) const = default;
};
using HolidayMarks = std::map<qint32, YearMarks>;

// The text of a calendar file: in the encoding its byte-order mark names (UTF-8, UTF-16 or
// UTF-32, either byte order), else UTF-8 when it is, else Windows-1251.
QString calendarText(const QByteArray &bytes);

// The XML production calendar: <calendar year="…"> with <days><day d="MM.DD" t="1|2|3"/>.
// Saturdays and Sundays are days off unless a day of type 2 or 3 names them; type 1 is a day
// off. On failure a Russian message naming `fileName`.
std::variant<HolidayMarks, QString> readProductionXml(const QByteArray &bytes,
                                                      const QString &fileName);

// The open-data CSV: a "Год/Месяц" column and one column per month, "Январь" … "Декабрь",
// each cell listing the month's days off; "*" marks a shortened working day, "+" a
// transferred day off. Columns are found by their headers, in any case; the text as
// calendarText gives it, blank lines before the header skipped; commas or semicolons.
std::variant<HolidayMarks, QString> readProductionCsv(const QByteArray &bytes,
                                                      const QString &fileName);

} // namespace vexilo
