#include "IcsOutline.h"

#include <QHash>

#include <array>
#include <optional>

namespace vexilo {

namespace {

enum class Kept { No, Single, List, Uid, Status };

Kept keptAs(const QByteArray &name)
{
    static const std::array<const char *, 5> single = {"DTSTART", "DTEND", "DURATION", "RRULE",
                                                       "RECURRENCE-ID"};
    for (const char *kept : single)
        if (name == kept)
            return Kept::Single;
    if (name == "RDATE" || name == "EXDATE")
        return Kept::List;
    if (name == "UID")
        return Kept::Uid;
    if (name == "STATUS")
        return Kept::Status;
    return Kept::No;
}

// The name of a content line: what comes before the first ';' or ':'.
QByteArray nameOf(const QByteArray &line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ';' && line[end] != ':')
        ++end;
    return line.left(end).trimmed().toUpper();
}

struct Split
{
    QByteArray valueType; // DATE, DATE-TIME or PERIOD when the line says so
    QByteArray value;
};

// Splits at the first ':' outside double quotes, where the value begins.
std::optional<Split> splitLine(const QByteArray &line)
{
    Split split;
    qsizetype i = 0;
    while (i < line.size() && line[i] != ';' && line[i] != ':')
        ++i;
    bool quoted = false;
    qsizetype paramStart = i + 1;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ';' || c == ':')) {
            // Only VALUE matters; the others are passed over without a copy.
            const qsizetype length = i - paramStart;
            if (length > 6 && qstrnicmp(line.constData() + paramStart, "VALUE=", 6) == 0) {
                const QByteArray type = line.mid(paramStart + 6, length - 6).trimmed().toUpper();
                if (type == "DATE" || type == "DATE-TIME" || type == "PERIOD")
                    split.valueType = type;
            }
            paramStart = i + 1;
            if (c == ':')
                break;
        }
    }
    if (i >= line.size())
        return std::nullopt;
    split.value = line.mid(i + 1).trimmed();
    return split;
}

class Outliner
{
public:
    // false when the file is refused; the fault is in error().
    bool takeLine(const QByteArray &line, qint64 number)
    {
        m_lastLine = number;
        const QByteArray name = nameOf(line);
        if (name == "BEGIN")
            return begin(line, number);
        if (name == "END") {
            const std::optional<Split> split = splitLine(line);
            if (split && split->value.trimmed().toUpper() == "VCALENDAR")
                m_calendarEnded = true;
            end();
            return true;
        }
        if (!m_inEvent || m_depth != 2)
            return true;
        const Kept kept = keptAs(name);
        if (kept == Kept::No)
            return true;
        const std::optional<Split> split = splitLine(line);
        if (!split)
            return true;
        switch (kept) {
        case Kept::No:
            return true;
        case Kept::Single:
            return keep(name, *split, split->value, number);
        case Kept::List:
            for (qsizetype from = 0; from <= split->value.size();) {
                qsizetype comma = split->value.indexOf(',', from);
                if (comma < 0)
                    comma = split->value.size();
                const QByteArray item = split->value.mid(from, comma - from).trimmed();
                if (!item.isEmpty() && !keep(name, *split, item, number))
                    return false;
                from = comma + 1;
            }
            return true;
        case Kept::Uid: {
            // libical would split a UID at its commas, in time quadratic in their number.
            const auto found = m_uids.constFind(split->value);
            const qsizetype id = found != m_uids.cend() ? *found : m_uids.size();
            if (found == m_uids.cend())
                m_uids.insert(split->value, id);
            m_event += "UID:" + QByteArray::number(id) + "\r\n";
            return true;
        }
        case Kept::Status:
            if (split->value.toUpper() == "CANCELLED")
                m_event += "STATUS:CANCELLED\r\n";
            return true;
        }
        return true;
    }

    std::variant<QByteArray, IcsOutlineError> finish()
    {
        // An unended event counts, as libical takes it.
        if (m_inEvent)
            closeEvent();
        if (!m_sawCalendar)
            return IcsOutlineError{IcsOutlineFault::NotCalendar, 0};
        // A download or a copy cut short would otherwise give the days before the cut.
        if (!m_calendarEnded)
            return IcsOutlineError{IcsOutlineFault::Cut, m_lastLine};
        m_out += "END:VCALENDAR\r\n";
        return m_out;
    }

    IcsOutlineError error() const { return m_error; }

private:
    bool begin(const QByteArray &line, qint64 number)
    {
        if (++m_depth > kMaxIcsDepth) {
            m_error = {IcsOutlineFault::TooDeep, number};
            return false;
        }
        const std::optional<Split> split = splitLine(line);
        const QByteArray component = split ? split->value.toUpper() : QByteArray();
        if (m_depth == 1) {
            m_inCalendar = component == "VCALENDAR";
            m_sawCalendar = m_sawCalendar || m_inCalendar;
            m_calendarEnded = m_calendarEnded && !m_inCalendar;
        } else if (m_depth == 2 && m_inCalendar && component == "VEVENT") {
            m_inEvent = true;
        }
        return true;
    }

    // Any END closes the innermost component, whatever its name, as in libical.
    void end()
    {
        if (m_depth == 0)
            return;
        if (--m_depth == 1 && m_inEvent)
            closeEvent();
    }

    // A timed event is no holiday and not given to libical, unless it moves an instance.
    void closeEvent()
    {
        if (!m_timed || m_changedInstance) {
            m_values += m_eventValues;
            m_out += "BEGIN:VEVENT\r\n" + m_event + "END:VEVENT\r\n";
        }
        m_event.clear();
        m_inEvent = m_timed = m_changedInstance = false;
        m_eventValues = 0;
    }

    bool keep(const QByteArray &name, const Split &split, const QByteArray &value, qint64 number)
    {
        if (value.size() > kMaxIcsValueBytes) {
            m_error = {IcsOutlineFault::LongValue, number};
            return false;
        }
        if (name == "DTSTART")
            m_timed = split.valueType == "DATE-TIME" || value.contains('T');
        else if (name == "RECURRENCE-ID")
            m_changedInstance = true;
        if (m_values + ++m_eventValues > kMaxIcsValues) {
            m_error = {IcsOutlineFault::TooManyValues, number};
            return false;
        }
        m_event += name;
        if (!split.valueType.isEmpty())
            m_event += ";VALUE=" + split.valueType;
        m_event += ':' + value + "\r\n";
        return true;
    }

    QByteArray m_out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    QByteArray m_event;
    QHash<QByteArray, qsizetype> m_uids;
    IcsOutlineError m_error;
    qint64 m_values = 0;
    qint64 m_eventValues = 0;
    int m_depth = 0;
    bool m_inCalendar = false;
    bool m_sawCalendar = false;
    bool m_calendarEnded = false;
    qint64 m_lastLine = 0;
    bool m_inEvent = false;
    bool m_timed = false;
    bool m_changedInstance = false;
};

} // namespace

std::variant<QByteArray, IcsOutlineError> outlineIcs(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return IcsOutlineError{IcsOutlineFault::NulBytes, 0};
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    Outliner outliner;
    QByteArray logical;
    qint64 logicalStart = 0;
    qint64 number = 0;
    bool started = false;
    while (pos < bytes.size()) {
        qsizetype next = bytes.indexOf('\n', pos);
        if (next < 0)
            next = bytes.size();
        qsizetype length = next - pos;
        if (length > 0 && bytes[next - 1] == '\r')
            --length;
        ++number;
        const char first = length > 0 ? bytes[pos] : '\0';
        if (started && (first == ' ' || first == '\t')) {
            // A folded line goes on after its one leading blank.
            logical.append(bytes.constData() + pos + 1, length - 1);
        } else {
            if (started && !outliner.takeLine(logical, logicalStart))
                return outliner.error();
            logical = bytes.mid(pos, length);
            logicalStart = number;
            started = true;
        }
        pos = next + 1;
    }
    if (started && !outliner.takeLine(logical, logicalStart))
        return outliner.error();
    return outliner.finish();
}

} // namespace vexilo
