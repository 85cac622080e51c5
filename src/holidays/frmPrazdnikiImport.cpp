// The holiday editor's import of a calendar file: iCalendar or a production calendar.
#include "frmPrazdniki.h"

#include "common/CalendarMath.h"
#include "common/ProgramText.h"
#include "holidays/HolidayImport.h"
#include "holidays/PrazdnikiStore.h"
#include "platform/Platform.h"

#include <QDate>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

namespace vexilo {

namespace {

// Asks whether every year of the file is wanted, when it holds more than the shown one.
QString allYearsQuestion(const HolidayMarks &marks, qint32 shownYear)
{
    const qint32 first = marks.begin()->first;
    const qint32 last = marks.rbegin()->first;
    const QString years =
        first == last ? QStringLiteral("праздники %1 года").arg(first)
                      : QStringLiteral("праздники всех лет из файла (%1–%2)").arg(first).arg(last);
    return QStringLiteral("Отметить %1?\n«Нет» — только %2 год.").arg(years).arg(shownYear);
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

void frmPrazdniki::kImport_Click()
{
    const QString path =
        m_platform.openFileName({QStringLiteral("Календари (*.ics *.xml *.csv)"),
                                 QStringLiteral("Календари iCalendar (*.ics)"),
                                 QStringLiteral("Производственные календари (*.xml *.csv)"),
                                 QStringLiteral("Все файлы (*)")},
                                m_importStartFolder);
    if (path.isEmpty())
        return;

    // Rules that repeat for ever are followed up to the shown year (or this year), not to the last year.
    const bool yearShown = m_NomerGoda >= 0;
    const qint32 shownYear = yearShown ? m_TekGod : QDate::currentDate().year();
    auto read = readHolidayFile(path, {kFirstYear, kLastYear, shownYear});
    if (const auto *error = std::get_if<QString>(&read)) {
        m_platform.messageBox(*error, applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    HolidayFile file = std::move(std::get<HolidayFile>(read));
    HolidayMarks &marks = file.marks;

    if (yearShown && !marks.empty() && !(marks.size() == 1 && marks.begin()->first == m_TekGod)) {
        if (m_platform.messageBox(allYearsQuestion(marks, m_TekGod), applicationTitle(),
                                  MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::No) {
            HolidayMarks shownOnly;
            if (const auto found = marks.find(m_TekGod); found != marks.end())
                shownOnly.insert(*found);
            marks = std::move(shownOnly);
        }
    }
    if (marks.empty()) {
        m_platform.messageBox(nothingFound(file.format, yearShown, m_TekGod), applicationTitle(),
                              MsgIcon::Information, MsgButtons::Ok);
        return;
    }

    const std::vector<ImportedYear> imported = importHolidays(m_store, marks, m_DniMesyaca);
    for (const ImportedYear &year : imported)
        if (year.created)
            addYearItem(QString::number(year.year));
    enableDelGod();
    // The shown month takes the new marks at once, as after clicks.
    if (yearShown)
        lstMesyacy_Click();
    m_platform.messageBox(importSummary(imported), applicationTitle(), MsgIcon::Information,
                          MsgButtons::Ok);
}

} // namespace vexilo
