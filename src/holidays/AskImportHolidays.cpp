#include "AskImportHolidays.h"

#include "common/CalendarMath.h"
#include "common/ProgramText.h"
#include "platform/Platform.h"

#include <QDate>

namespace vexilo {

namespace {

// The years of the file in words: "праздники 2030 года" or "праздники всех лет из файла
// (2026–2030)".
QString yearsOf(const HolidayMarks &marks)
{
    const qint32 first = marks.begin()->first;
    const qint32 last = marks.rbegin()->first;
    return first == last
               ? QStringLiteral("праздники %1 года").arg(first)
               : QStringLiteral("праздники всех лет из файла (%1–%2)").arg(first).arg(last);
}

// Asks whether every year of the file is wanted, when it holds more than the shown one. "Нет"
// is offered only when the shown year is there to be taken alone.
QString allYearsQuestion(const HolidayMarks &marks, qint32 shownYear)
{
    if (!marks.contains(shownYear))
        return QStringLiteral("В файле нет праздников %1 года. Отметить %2?")
            .arg(shownYear)
            .arg(yearsOf(marks));
    return QStringLiteral("Отметить %1?\n«Нет» — только %2 год.")
        .arg(yearsOf(marks))
        .arg(shownYear);
}

QString nothingFound(HolidayFormat format, bool yearShown, qint32 shownYear)
{
    if (format != HolidayFormat::ICalendar)
        return QStringLiteral("В файле нет календаря %1 года.").arg(shownYear);
    return yearShown
               ? QStringLiteral("В файле нет праздников на целый день в %1 году.").arg(shownYear)
               : QStringLiteral("В файле нет праздников на целый день.");
}

} // namespace

QString askHolidayFile(Platform &platform, const QString &startFolder)
{
    return platform.openFileName({QStringLiteral("Календари (*.ics *.xml *.csv)"),
                                  QStringLiteral("Календари iCalendar (*.ics)"),
                                  QStringLiteral("Производственные календари (*.xml *.csv)"),
                                  QStringLiteral("Все файлы (*)")},
                                 startFolder);
}

std::vector<ImportedYear> askAndImportHolidays(Platform &platform, PrazdnikiStore &store,
                                               const std::array<qint32, 13> &DniMesyaca,
                                               const QString &path, std::optional<qint32> shownYear)
{
    if (path.isEmpty())
        return {};

    // Rules that repeat for ever are followed up to the shown year (or this year).
    const bool yearShown = shownYear.has_value();
    const qint32 year = shownYear.value_or(QDate::currentDate().year());
    auto read = readHolidayFile(path, {kFirstYear, kLastYear, year});
    if (const auto *error = std::get_if<QString>(&read)) {
        platform.messageBox(*error, applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return {};
    }
    HolidayFile file = std::move(std::get<HolidayFile>(read));
    HolidayMarks &marks = file.marks;

    if (yearShown && !marks.empty() && !(marks.size() == 1 && marks.begin()->first == year)) {
        if (platform.messageBox(allYearsQuestion(marks, year), applicationTitle(),
                                MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::No) {
            if (!marks.contains(year))
                return {};
            HolidayMarks shownOnly;
            if (const auto found = marks.find(year); found != marks.end())
                shownOnly.insert(*found);
            marks = std::move(shownOnly);
        }
    }
    if (marks.empty()) {
        platform.messageBox(nothingFound(file.format, yearShown, year), applicationTitle(),
                            MsgIcon::Information, MsgButtons::Ok);
        return {};
    }
    return importHolidays(store, marks, DniMesyaca);
}

} // namespace vexilo
