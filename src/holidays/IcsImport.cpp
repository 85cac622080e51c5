#include "IcsImport.h"

#include "common/RegularFile.h"
#include "holidays/IcsOutline.h"
#include "holidays/IcsRule.h"

#include <QDate>
#include <QDir>
#include <QFile>

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

// libical's error mode is global: errors stay non-fatal while a file is read, and the
// caller's mode comes back afterwards.
class QuietIcalErrors
{
public:
    QuietIcalErrors() : m_fatal(icalerror_get_errors_are_fatal())
    {
        icalerror_set_errors_are_fatal(0);
    }
    ~QuietIcalErrors()
    {
        icalerror_clear_errno();
        icalerror_set_errors_are_fatal(m_fatal);
    }
    QuietIcalErrors(const QuietIcalErrors &) = delete;
    QuietIcalErrors &operator=(const QuietIcalErrors &) = delete;

private:
    const int m_fatal;
};

QDate dateOf(const icaltimetype &time)
{
    if (icaltime_is_null_time(time))
        return {};
    return QDate(time.year, time.month, time.day);
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
        : m_options(options), m_first(QDate(std::max(options.firstYear, kFirstYear), 1, 1)),
          m_last(QDate(std::min(options.lastYear, kLastYear), 12, 31))
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

    // Stops at the first rule the file may not have.
    IcsRuleFault addEvent(icalcomponent *event)
    {
        if (cancelled(event))
            return IcsRuleFault::None;
        icalproperty *startProperty =
            icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (startProperty == nullptr)
            return IcsRuleFault::None;
        const icaltimetype dtstart = icalproperty_get_dtstart(startProperty);
        const QDate start = dateOf(dtstart);
        if (!dtstart.is_date || !start.isValid())
            return IcsRuleFault::None; // timed events are no holidays
        const int length = lengthInDays(event, start);

        std::set<QDate> starts{start};
        // A changed instance is that one instance, whatever rules it repeats (RFC 5545
        // 3.8.4.4); its master holds the others.
        const bool instance =
            icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        const std::set<QDate> *overridden = nullptr;
        std::set<QDate> excluded;
        if (!instance) {
            if (const auto found = m_overridden.find(uidOf(event)); found != m_overridden.end())
                overridden = &found->second;
            collectExcluded(event, excluded);
            collectExtraDates(event, starts);
            const IcsRuleWindow window{m_first.addDays(1 - length), m_last};
            for (icalproperty *rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
                 rule != nullptr;
                 rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
                const IcsRuleFault fault =
                    expandIcsRule(icalproperty_get_rrule(rule), start, ruleWindow(window, rule),
                                  m_budget, starts);
                if (fault != IcsRuleFault::None)
                    return fault;
            }
        }

        for (const QDate &first : starts) {
            if (excluded.count(first) != 0 || (overridden && overridden->count(first) != 0))
                continue;
            for (int i = 0; i < length; ++i)
                add(first.addDays(i));
        }
        return IcsRuleFault::None;
    }

    IcsDays takeDays() { return std::move(m_days); }

private:
    static void collectExcluded(icalcomponent *event, std::set<QDate> &excluded)
    {
        for (icalproperty *exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
             exdate != nullptr;
             exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
            excluded.insert(dateOf(icalproperty_get_exdate(exdate)));
    }

    static void collectExtraDates(icalcomponent *event, std::set<QDate> &starts)
    {
        for (icalproperty *rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
             rdate != nullptr;
             rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
            const QDate date =
                dateOf(icaltime_is_null_time(value.time) ? value.period.start : value.time);
            if (date.isValid())
                starts.insert(date);
        }
    }

    // A rule without COUNT or UNTIL may be followed only up to the years the options allow.
    IcsRuleWindow ruleWindow(IcsRuleWindow window, icalproperty *rule) const
    {
        const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
        const bool openEnded = recurrence.count == 0 && icaltime_is_null_time(recurrence.until);
        if (openEnded && m_options.openEndedUntil) {
            const int until = std::max(*m_options.openEndedUntil, m_fixedLastYear);
            window.last =
                std::min(window.last, QDate(std::clamp(until, kFirstYear, kLastYear), 12, 31));
        }
        return window;
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
    IcsRuleBudget m_budget;
    int m_fixedLastYear = 0;
};

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString outlineMessage(const IcsOutlineError &error, const QString &name)
{
    switch (error.fault) {
    case IcsOutlineFault::NulBytes:
        return QStringLiteral("Файл «%1» содержит нулевые байты, это не текстовый календарь.")
            .arg(name);
    case IcsOutlineFault::LongValue:
        return QStringLiteral("В календаре «%1» слишком длинная строка %2 (больше %3 байт).")
            .arg(name)
            .arg(error.line)
            .arg(kMaxIcsValueBytes);
    case IcsOutlineFault::TooManyValues:
        return QStringLiteral("В календаре «%1» слишком много дат: больше %2.")
            .arg(name)
            .arg(kMaxIcsValues);
    case IcsOutlineFault::Cut:
        return QStringLiteral("Календарь «%1» не дописан: он обрывается на строке %2 без "
                              "END:VCALENDAR. Праздники из него не взяты.")
            .arg(name)
            .arg(error.line);
    case IcsOutlineFault::NotCalendar:
    case IcsOutlineFault::TooDeep:
        break;
    }
    return QStringLiteral("Файл «%1» — не календарь iCalendar (.ics).").arg(name);
}

QString ruleMessage(IcsRuleFault fault, const QString &name)
{
    switch (fault) {
    case IcsRuleFault::SubDaily:
        return QStringLiteral("В календаре «%1» событие на целый день повторяется чаще раза в "
                              "день; такое правило повторения не поддерживается.")
            .arg(name);
    case IcsRuleFault::TooFar:
        return QStringLiteral("В календаре «%1» повторения уходят слишком далеко по годам: "
                              "правило повторения прослеживается не больше чем на 430 лет.")
            .arg(name);
    case IcsRuleFault::TooLong:
        return QStringLiteral("В календаре «%1» слишком много повторений: правила пришлось бы "
                              "прослеживать дольше, чем разумно.")
            .arg(name);
    case IcsRuleFault::None:
    case IcsRuleFault::TooMany:
        break;
    }
    return QStringLiteral("В календаре «%1» слишком много повторений: больше %2.")
        .arg(name)
        .arg(kMaxIcsOccurrences);
}

} // namespace

std::variant<IcsDays, QString> readIcs(const QByteArray &bytes, const QString &fileName,
                                       const IcsOptions &options)
{
    const QString name = shownName(fileName);
    // libical is given only a small, well-formed text of the events: it reads long lines in
    // quadratic time, frees deep nesting recursively and prints its complaints to stderr.
    const auto outline = outlineIcs(bytes);
    if (const auto *error = std::get_if<IcsOutlineError>(&outline))
        return outlineMessage(*error, name);
    const QuietIcalErrors quiet;
    std::unique_ptr<icalcomponent, ComponentFreer> root(
        icalparser_parse_string(std::get<QByteArray>(outline).constData()));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT)
        return QStringLiteral("Файл «%1» — не календарь iCalendar (.ics).").arg(name);

    Collector collector(options);
    icalcomponent *calendar = root.get();
    for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        collector.noteOverride(event);
        collector.noteFixedYears(event);
    }
    for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (const IcsRuleFault fault = collector.addEvent(event); fault != IcsRuleFault::None)
            return ruleMessage(fault, name);
    return collector.takeDays();
}

std::variant<IcsDays, QString> readIcsFile(const QString &path, const IcsOptions &options)
{
    const QString name = shownName(path);
    QFile file;
    switch (openRegularFile(file, path)) {
    case FileOpening::Opened:
        break;
    case FileOpening::NotRegular:
        return QStringLiteral("«%1» — не обычный файл, календарь из него не прочитать.").arg(name);
    case FileOpening::Missing:
    case FileOpening::Unreadable:
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(name);
    }
    if (file.size() > kMaxIcsBytes)
        return QStringLiteral("Файл «%1» слишком велик для календаря (больше %2 МБ).")
            .arg(name)
            .arg(kMaxIcsBytes >> 20);
    const QByteArray bytes = file.read(kMaxIcsBytes + 1);
    if (bytes.size() > kMaxIcsBytes || (bytes.isEmpty() && file.error() != QFile::NoError))
        return QStringLiteral("Не удалось прочитать файл «%1».").arg(name);
    return readIcs(bytes, path, options);
}

} // namespace vexilo
