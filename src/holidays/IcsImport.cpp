#include "IcsImport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libical/ical.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace vexilo {

namespace {

struct ComponentFreer
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};

struct IteratorFreer
{
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};

QDate dateOf(const icaltimetype &time)
{
    if (icaltime_is_null_time(time))
        return {};
    return QDate(time.year, time.month, time.day);
}

icaltimetype icalDate(const QDate &date)
{
    icaltimetype time = icaltime_null_time();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    time.is_date = 1;
    return time;
}

QString uidOf(icalcomponent *event)
{
    icalproperty *uid = icalcomponent_get_first_property(event, ICAL_UID_PROPERTY);
    return uid != nullptr ? QString::fromUtf8(icalproperty_get_uid(uid)) : QString();
}

bool cancelled(icalcomponent *event)
{
    icalproperty *status = icalcomponent_get_first_property(event, ICAL_STATUS_PROPERTY);
    return status != nullptr && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED;
}

// Days covered from DTSTART: to DTEND exclusive, else DURATION, else one day.
int lengthInDays(icalcomponent *event, const QDate &start)
{
    qint64 days = 1;
    if (icalproperty *end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const QDate last = dateOf(icalproperty_get_dtend(end));
        if (last.isValid())
            days = start.daysTo(last);
    } else if (icalproperty *duration =
                   icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype length = icalproperty_get_duration(duration);
        days = length.is_neg ? 0 : qint64(length.weeks) * 7 + length.days;
    }
    return static_cast<int>(std::clamp<qint64>(days, 1, kMaxIcsEventDays));
}

class Collector
{
public:
    explicit Collector(const IcsOptions &options)
        : m_options(options), m_first(QDate(std::max(options.firstYear, 1000), 1, 1)),
          m_last(QDate(std::min(options.lastYear, 9999), 12, 31))
    {}

    // Dates of instances moved or cancelled by another component with the same UID.
    void noteOverride(icalcomponent *event)
    {
        icalproperty *id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr)
            return;
        const QDate date = dateOf(icalproperty_get_recurrenceid(id));
        if (date.isValid())
            m_overridden[uidOf(event)].insert(date);
    }

    // The last year reached by the dates that do not repeat for ever.
    void noteFixedYears(icalcomponent *event)
    {
        icalproperty *start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (start == nullptr)
            return;
        const icaltimetype dtstart = icalproperty_get_dtstart(start);
        if (!dtstart.is_date)
            return;
        m_fixedLastYear = std::max(m_fixedLastYear, dtstart.year);
        for (icalproperty *rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
             rdate != nullptr; rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
            m_fixedLastYear = std::max(m_fixedLastYear, icalproperty_get_rdate(rdate).time.year);
        for (icalproperty *rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
             rule != nullptr; rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
            if (!icaltime_is_null_time(recurrence.until))
                m_fixedLastYear = std::max(m_fixedLastYear, recurrence.until.year);
        }
    }

    // false once the file asks for more occurrences than allowed.
    bool addEvent(icalcomponent *event)
    {
        if (cancelled(event))
            return true;
        icalproperty *startProperty =
            icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (startProperty == nullptr)
            return true;
        const icaltimetype dtstart = icalproperty_get_dtstart(startProperty);
        const QDate start = dateOf(dtstart);
        if (!dtstart.is_date || !start.isValid())
            return true; // timed events are no holidays
        const int length = lengthInDays(event, start);

        std::set<QDate> excluded;
        if (const auto found = m_overridden.find(uidOf(event));
            found != m_overridden.end() &&
            icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) == nullptr)
            excluded = found->second;
        for (icalproperty *exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
             exdate != nullptr;
             exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
            excluded.insert(dateOf(icalproperty_get_exdate(exdate)));

        std::set<QDate> starts{start};
        for (icalproperty *rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
             rdate != nullptr;
             rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
            const QDate date =
                dateOf(icaltime_is_null_time(value.time) ? value.period.start : value.time);
            if (date.isValid())
                starts.insert(date);
        }
        for (icalproperty *rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
             rule != nullptr; rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
            if (!expandRule(icalproperty_get_rrule(rule), dtstart, start, length, starts))
                return false;

        for (const QDate &first : starts) {
            if (excluded.count(first) != 0)
                continue;
            for (int i = 0; i < length; ++i)
                add(first.addDays(i));
        }
        return true;
    }

    IcsDays takeDays() { return std::move(m_days); }

private:
    bool expandRule(const icalrecurrencetype &recurrence, const icaltimetype &dtstart,
                    const QDate &start, int length, std::set<QDate> &starts)
    {
        QDate last = m_last;
        const bool openEnded = recurrence.count == 0 && icaltime_is_null_time(recurrence.until);
        if (openEnded && m_options.openEndedUntil) {
            const int until = std::max(*m_options.openEndedUntil, m_fixedLastYear);
            last = std::min(last, QDate(std::clamp(until, 1000, 9999), 12, 31));
        }
        std::unique_ptr<icalrecur_iterator, IteratorFreer> iterator(
            icalrecur_iterator_new(recurrence, dtstart));
        if (!iterator)
            return true; // a rule libical cannot follow adds nothing
        // Jump to the first occurrence that can reach the wanted years; only possible for
        // rules without COUNT, which must be counted from the start.
        const QDate from = m_first.addDays(1 - length);
        if (recurrence.count == 0 && from > start)
            icalrecur_iterator_set_start(iterator.get(), icalDate(from));
        for (;;) {
            const icaltimetype next = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(next))
                return true;
            if (++m_occurrences > kMaxIcsOccurrences)
                return false;
            // libical counts leap years before 1753 the Julian way; a 29 February that the
            // Gregorian calendar lacks is no day of a sheet.
            const QDate date = dateOf(next);
            if (!date.isValid())
                continue;
            if (date > last)
                return true;
            starts.insert(date);
        }
    }

    void add(const QDate &date)
    {
        if (date >= m_first && date <= m_last)
            m_days[date.year()].insert({date.month(), date.day()});
    }

    const IcsOptions &m_options;
    const QDate m_first;
    const QDate m_last;
    IcsDays m_days;
    std::map<QString, std::set<QDate>> m_overridden;
    int m_fixedLastYear = 0;
    int m_occurrences = 0;
};

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

std::vector<icalcomponent *> calendarsOf(icalcomponent *root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    std::vector<icalcomponent *> calendars;
    if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT)
        for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    return calendars;
}

} // namespace

std::variant<IcsDays, QString> readIcs(const QByteArray &bytes, const QString &fileName,
                                       const IcsOptions &options)
{
    const QString notCalendar =
        QStringLiteral("Файл «%1» — не календарь iCalendar (.ics).").arg(shownName(fileName));
    if (!bytes.contains("BEGIN:VCALENDAR"))
        return notCalendar;
    // A damaged property is skipped, never a reason to end the program.
    icalerror_set_errors_are_fatal(0);
    std::unique_ptr<icalcomponent, ComponentFreer> root(icalparser_parse_string(bytes.constData()));
    icalerror_clear_errno();
    if (!root)
        return notCalendar;
    const std::vector<icalcomponent *> calendars = calendarsOf(root.get());
    if (calendars.empty())
        return notCalendar;

    Collector collector(options);
    const auto forEachEvent = [&calendars](const auto &action) {
        for (icalcomponent *calendar : calendars)
            for (icalcomponent *event =
                     icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
                 event != nullptr;
                 event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
                if (!action(event))
                    return false;
        return true;
    };
    forEachEvent([&](icalcomponent *event) {
        collector.noteOverride(event);
        collector.noteFixedYears(event);
        return true;
    });
    if (!forEachEvent([&](icalcomponent *event) { return collector.addEvent(event); }))
        return QStringLiteral("В календаре «%1» слишком много повторений: больше %2.")
            .arg(shownName(fileName))
            .arg(kMaxIcsOccurrences);
    return collector.takeDays();
}

std::variant<IcsDays, QString> readIcsFile(const QString &path, const IcsOptions &options)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(shownName(path));
    if (file.size() > kMaxIcsBytes)
        return QStringLiteral("Файл «%1» слишком велик для календаря (больше %2 МБ).")
            .arg(shownName(path))
            .arg(kMaxIcsBytes >> 20);
    const QByteArray bytes = file.read(kMaxIcsBytes + 1);
    if (bytes.size() > kMaxIcsBytes || (bytes.isEmpty() && file.error() != QFile::NoError))
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(shownName(path));
    return readIcs(bytes, path, options);
}

} // namespace vexilo
