#pragma once

#include "common/CalendarMath.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <variant>

namespace vexilo {

// Days taken from an iCalendar file: for each year, its (month, day) pairs.
using YearDays = std::set<std::pair<qint32, qint32>>;
using IcsDays = std::map<qint32, YearDays>;

struct IcsOptions
{
    qint32 firstYear = kFirstYear;
    qint32 lastYear = kLastYear;
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

} // namespace vexilo
