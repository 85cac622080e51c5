#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <variant>
#include <vector>

namespace vexilo {

class clsPrazdniki;
class PrazdnikiStore;

// Days taken from an iCalendar file: for each year, its (month, day) pairs.
using YearDays = std::set<std::pair<qint32, qint32>>;
using IcsDays = std::map<qint32, YearDays>;

struct IcsOptions
{
    qint32 firstYear = 1000;
    qint32 lastYear = 9999;
    // A rule without COUNT or UNTIL repeats for ever. When set, such rules are followed only
    // up to this year or the last year the file's other dates reach, whichever is later, so
    // a birthday does not fill eight thousand years.
    std::optional<qint32> openEndedUntil;
};

inline constexpr qint64 kMaxIcsBytes = qint64(16) << 20;
// Occurrences followed in one file; a rule that repeats daily for ever stops here.
inline constexpr int kMaxIcsOccurrences = 200000;
// An all-day event longer than this counts as this long.
inline constexpr int kMaxIcsEventDays = 366;

// The days of every all-day event (DTSTART with VALUE=DATE; DTEND exclusive, else DURATION,
// else one day) that fall within the years of the options, with RRULE, RDATE and EXDATE
// expanded and moved or cancelled instances (RECURRENCE-ID, STATUS:CANCELLED) respected;
// dates are proleptic Gregorian in every year. Timed events are left out. In time linear in
// the input; a file too deep, too long in a value, with NUL bytes, or with rules that cannot
// be followed in bounded time gets a Russian message naming `fileName`.
std::variant<IcsDays, QString> readIcs(const QByteArray &bytes, const QString &fileName,
                                       const IcsOptions &options = {});

// The same for a file, refusing one that cannot be read, is no regular file (a pipe would
// block) or is larger than kMaxIcsBytes.
std::variant<IcsDays, QString> readIcsFile(const QString &path, const IcsOptions &options = {});

// Sets the marks of the days; returns how many there were.
qint32 markIcsDays(clsPrazdniki &entry, const YearDays &days);

struct ImportedYear
{
    qint32 year = 0;
    qint32 days = 0;
    qint32 entry = -1;    // index in the store
    bool created = false; // the store lacked the year: it got its default holidays first
};

// Marks the days in the store's live entries, creating a missing year first with its
// default holidays, as the editor creates one. Years in ascending order.
std::vector<ImportedYear> importIcsDays(PrazdnikiStore &store, const IcsDays &days,
                                        const std::array<qint32, 13> &DniMesyaca);

// "Отмечено праздничных дней: 12 (2026 год — 5, 2027 год — 7)."
QString importSummary(const std::vector<ImportedYear> &years);

} // namespace vexilo
