#include "HolidayImport.h"

#include "common/RegularFile.h"
#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiStore.h"
#include "holidays/ProductionCalendar.h"
#include "holidays/clsPrazdniki.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace vexilo {

namespace {

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

// "день", "дня" or "дней" after a number.
QString days(qint64 n)
{
    const qint64 lastTwo = n % 100;
    const qint64 last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("%1 дней").arg(n);
    if (last == 1)
        return QStringLiteral("%1 день").arg(n);
    if (last >= 2 && last <= 4)
        return QStringLiteral("%1 дня").arg(n);
    return QStringLiteral("%1 дней").arg(n);
}

} // namespace

std::optional<HolidayFormat> holidayFormatOf(const QByteArray &bytes)
{
    // Decoded as the readers decode it, so that UTF-16 and Windows-1251 look alike here.
    const QString text = calendarText(bytes);
    qsizetype first = 0;
    while (first < text.size() && text[first].isSpace())
        ++first;
    const QStringView start = QStringView(text).mid(first, 4096);
    if (start.startsWith(u'<'))
        return HolidayFormat::ProductionXml;
    const qsizetype lineEnd = start.indexOf(u'\n');
    const QStringView firstLine = lineEnd < 0 ? start : start.left(lineEnd);
    if (firstLine.contains(u"год/", Qt::CaseInsensitive))
        return HolidayFormat::ProductionCsv;
    if (bytes.contains("BEGIN:VCALENDAR"))
        return HolidayFormat::ICalendar;
    return std::nullopt;
}

std::variant<HolidayFile, QString> readHolidays(const QByteArray &bytes, const QString &fileName,
                                                const IcsOptions &ics)
{
    const std::optional<HolidayFormat> format = holidayFormatOf(bytes);
    if (!format)
        return QStringLiteral("Файл «%1» — не календарь: ожидался календарь iCalendar (.ics) или "
                              "производственный календарь (.xml, .csv).")
            .arg(shownName(fileName));
    HolidayFile file{*format, {}};
    switch (*format) {
    case HolidayFormat::ICalendar: {
        auto read = readIcs(bytes, fileName, ics);
        if (auto *error = std::get_if<QString>(&read))
            return std::move(*error);
        file.marks = holidayMarksOf(std::get<IcsDays>(read));
        return file;
    }
    case HolidayFormat::ProductionXml:
    case HolidayFormat::ProductionCsv: {
        auto read = *format == HolidayFormat::ProductionXml ? readProductionXml(bytes, fileName)
                                                            : readProductionCsv(bytes, fileName);
        if (auto *error = std::get_if<QString>(&read))
            return std::move(*error);
        file.marks = std::move(std::get<HolidayMarks>(read));
        return file;
    }
    }
    return file;
}

std::variant<HolidayFile, QString> readHolidayFile(const QString &path, const IcsOptions &ics)
{
    QFile file;
    switch (openRegularFile(file, path)) {
    case FileOpening::Opened:
        break;
    case FileOpening::NotRegular:
        return QStringLiteral("«%1» — не обычный файл.").arg(shownName(path));
    case FileOpening::Missing:
    case FileOpening::Unreadable:
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(shownName(path));
    }
    const QByteArray bytes = file.read(kMaxHolidayFileBytes + 1);
    if (bytes.size() > kMaxHolidayFileBytes)
        return QStringLiteral("Файл «%1» слишком велик для календаря (больше %2 МБ).")
            .arg(shownName(path))
            .arg(kMaxHolidayFileBytes >> 20);
    if (file.error() != QFile::NoError)
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(shownName(path));
    return readHolidays(bytes, path, ics);
}

HolidayMarks holidayMarksOf(const IcsDays &days)
{
    HolidayMarks marks;
    for (const auto &[year, yearDays] : days)
        marks[year].daysOff = yearDays;
    return marks;
}

MarkChanges mergeYear(clsPrazdniki &entry, const YearMarks &marks)
{
    MarkChanges changes;
    for (const auto &[month, day] : marks.daysOff)
        if (entry.mark(month, day) == 0 && entry.AddPrazdnik(month, day))
            ++changes.marked;
    for (const auto &[month, day] : marks.workingWeekend)
        if (entry.mark(month, day) == 1 && entry.Add(month, day))
            ++changes.unmarked;
    return changes;
}

std::vector<ImportedYear> importHolidays(PrazdnikiStore &store, const HolidayMarks &marks,
                                         const std::array<qint32, 13> &DniMesyaca)
{
    std::vector<ImportedYear> imported;
    for (const auto &[year, yearMarks] : marks) {
        ImportedYear result{year, {}, store.NaytiGod(year), false};
        if (result.entry < 0) {
            store.append();
            result.entry = store.KolGodov();
            result.created = true;
            clsPrazdniki *entry = store.entry(result.entry);
            entry->God = year;
            addDefaultHolidays(*entry, year, DniMesyaca);
        }
        result.changes = mergeYear(*store.entry(result.entry), yearMarks);
        imported.push_back(result);
    }
    return imported;
}

QString importSummary(const std::vector<ImportedYear> &years)
{
    constexpr std::size_t kYearsNamed = 10;
    qint64 marked = 0;
    qint64 unmarked = 0;
    QStringList named;
    for (const ImportedYear &year : years) {
        marked += year.changes.marked;
        unmarked += year.changes.unmarked;
        if (named.size() < qsizetype(kYearsNamed))
            named.append(QString::number(year.year));
    }
    if (years.size() > kYearsNamed)
        named.append(QStringLiteral("и ещё %1").arg(years.size() - kYearsNamed));
    const QString which = years.size() == 1
                              ? QStringLiteral("%1 год").arg(named.constFirst())
                              : QStringLiteral("Годы: %1").arg(named.join(QStringLiteral(", ")));
    if (marked == 0 && unmarked == 0)
        return QStringLiteral("Ничего не изменилось: дни из файла уже отмечены так же. %1.")
            .arg(which);
    // "Отмечен 21 день", "Отмечено 22 дня".
    const bool singular = marked % 10 == 1 && marked % 100 != 11;
    QString text =
        (singular ? QStringLiteral("Отмечен %1") : QStringLiteral("Отмечено %1")).arg(days(marked));
    if (unmarked > 0)
        text += QStringLiteral(", снято %1 (рабочие субботы и воскресенья)").arg(unmarked);
    return text + QStringLiteral(". %1.").arg(which);
}

} // namespace vexilo
