#pragma once

#include <QByteArray>

#include <variant>

namespace vexilo {

// Components nested deeper than this make a file no calendar; real ones nest three deep.
inline constexpr int kMaxIcsDepth = 32;
// A value the reader uses (a date, a rule, a list item) longer than this is no calendar's.
inline constexpr qsizetype kMaxIcsValueBytes = 4096;

// Values given to libical for one file; it takes some microseconds for each.
inline constexpr qint64 kMaxIcsValues = 150000;

// Cut: the last calendar of the text has no END line; the file was cut short.
enum class IcsOutlineFault { NotCalendar, NulBytes, TooDeep, LongValue, TooManyValues, Cut };

struct IcsOutlineError
{
    IcsOutlineFault fault = IcsOutlineFault::NotCalendar;
    qint64 line = 0; // the physical line where the fault is, counted from 1
};

// What the reader needs of a calendar text, rebuilt for libical in time linear in the input:
// one VCALENDAR holding every VEVENT found directly inside a VCALENDAR of the text, with its
// lines unfolded and only DTSTART, DTEND, DURATION, RRULE, RDATE, EXDATE, RECURRENCE-ID, UID
// and STATUS:CANCELLED kept, one value per line and no parameter but VALUE. UIDs become
// numbers (equal UIDs, equal numbers). Timed events are left out unless they move an
// instance (RECURRENCE-ID). Everything else, however long, is dropped here.
std::variant<QByteArray, IcsOutlineError> outlineIcs(const QByteArray &bytes);

} // namespace vexilo
