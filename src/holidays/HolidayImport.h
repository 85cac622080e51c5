#pragma once

#include "holidays/IcsImport.h"
#include "holidays/ProductionCalendar.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace vexilo {

class clsPrazdniki;
class PrazdnikiStore;

enum class HolidayFormat { ICalendar, ProductionXml, ProductionCsv };

inline constexpr qint64 kMaxHolidayFileBytes = qint64(16) << 20;

// The format of a holiday file, told by its content: an iCalendar, the XML production
// calendar or the open-data CSV; nothing for any other file.
std::optional<HolidayFormat> holidayFormatOf(const QByteArray &bytes);

struct HolidayFile
{
    HolidayFormat format = HolidayFormat::ICalendar;
    HolidayMarks marks;
};

// The days of a holiday file of any of the three formats; `ics` bounds an iCalendar's years.
// On failure a Russian message naming `fileName`.
std::variant<HolidayFile, QString> readHolidays(const QByteArray &bytes, const QString &fileName,
                                                const IcsOptions &ics = {});
// The same for a file: a regular file of at most kMaxHolidayFileBytes.
std::variant<HolidayFile, QString> readHolidayFile(const QString &path, const IcsOptions &ics = {});

// iCalendar days are days off; an iCalendar names no working days.
HolidayMarks holidayMarksOf(const IcsDays &days);

struct MarkChanges
{
    qint32 marked = 0;   // days that were not marked before
    qint32 unmarked = 0; // working Saturdays and Sundays that were marked before
};

// Marks every day off and unmarks every working Saturday or Sunday; other days keep the
// user's marks.
MarkChanges mergeYear(clsPrazdniki &entry, const YearMarks &marks);

struct ImportedYear
{
    qint32 year = 0;
    MarkChanges changes;
    qint32 entry = -1;    // index in the store
    bool created = false; // the store lacked the year: it got its default holidays first
};

// Merges each year into the store's live entries, creating a missing year first with its
// default holidays, as the editor creates one. Years in ascending order.
std::vector<ImportedYear> importHolidays(PrazdnikiStore &store, const HolidayMarks &marks,
                                         const std::array<qint32, 13> &DniMesyaca);

// "Отмечено 14 дней, снято 1 (рабочие субботы и воскресенья)." and the years.
QString importSummary(const std::vector<ImportedYear> &years);

} // namespace vexilo
