#include "ProductionCalendar.h"

#include "common/BoundedXml.h"
#include "common/CalendarMath.h"
#include "common/Text1251.h"

#include <QDate>
#include <QDir>
#include <QStringConverter>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <optional>

namespace vexilo {

namespace {

// Deeper than the format ever goes; a file nested further is no production calendar.
constexpr int kMaxXmlDepth = 8;

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString notCalendar(const QString &fileName)
{
    return QStringLiteral("Файл «%1» — не производственный календарь.").arg(shownName(fileName));
}

QString damaged(const QString &fileName, qint64 line, const QString &what)
{
    return QStringLiteral("Производственный календарь «%1» повреждён (строка %2): %3.")
        .arg(shownName(fileName))
        .arg(line)
        .arg(what);
}

QString yearRefused(const QString &fileName, const QString &year)
{
    return QStringLiteral("В файле «%1» календарь %2 года, а годы бывают от %3 до %4.")
        .arg(shownName(fileName), year)
        .arg(kFirstYear)
        .arg(kLastYear);
}

bool isWeekend(const QDate &date)
{
    return date.dayOfWeek() >= Qt::Saturday;
}

// Days off of a year: its Saturdays and Sundays but the working ones, and the named days off.
YearMarks yearMarks(qint32 year, const YearDays &namedDaysOff, const YearDays &working)
{
    YearMarks marks;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        const std::pair<qint32, qint32> day{date.month(), date.day()};
        if (namedDaysOff.count(day) != 0)
            marks.daysOff.insert(day);
        else if (isWeekend(date))
            (working.count(day) != 0 ? marks.workingWeekend : marks.daysOff).insert(day);
    }
    return marks;
}

std::optional<qint32> wholeNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return static_cast<qint32>(text.toInt());
}

} // namespace

QString calendarText(const QByteArray &bytes)
{
    QString text;
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        text = decoder.decode(bytes);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            text = fromWindows1251(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

std::variant<HolidayMarks, QString> readProductionXml(const QByteArray &bytes,
                                                      const QString &fileName)
{
    const BoundedXml bounded = boundedXml(bytes);
    if (!bounded.problem.isEmpty())
        return damaged(fileName, bounded.line, bounded.problem);
    QXmlStreamReader xml(bounded.text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("calendar"))
        return notCalendar(fileName);
    const QString yearText = xml.attributes().value(QLatin1String("year")).toString();
    const std::optional<qint32> year = wholeNumber(yearText);
    if (!year)
        return notCalendar(fileName);
    if (!isCalendarYear(*year))
        return yearRefused(fileName, yearText);

    YearDays daysOff;
    YearDays working;
    int depth = 1;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            --depth;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++depth > kMaxXmlDepth)
            return damaged(fileName, xml.lineNumber(),
                           QStringLiteral("слишком глубокая вложенность"));
        if (xml.name() != QLatin1String("day"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString d = attributes.value(QLatin1String("d")).toString();
        const QString t = attributes.value(QLatin1String("t")).toString();
        const std::optional<qint32> month = wholeNumber(QStringView(d).left(2));
        const std::optional<qint32> day = wholeNumber(QStringView(d).mid(3));
        const bool dateOk = d.size() == 5 && d[2] == QLatin1Char('.') && month && day &&
                            QDate::isValid(*year, *month, *day);
        if (!dateOk)
            return damaged(fileName, xml.lineNumber(),
                           QStringLiteral("дата «%1» не день %2 года").arg(d).arg(*year));
        if (t == QLatin1String("1"))
            daysOff.insert({*month, *day});
        else if (t == QLatin1String("2") || t == QLatin1String("3"))
            working.insert({*month, *day});
        else
            return damaged(fileName, xml.lineNumber(),
                           QStringLiteral("неизвестный вид дня «%1»").arg(t));
    }
    if (xml.hasError())
        return damaged(fileName, xml.lineNumber(), QStringLiteral("разметка XML нарушена"));
    return HolidayMarks{{*year, yearMarks(*year, daysOff, working)}};
}

namespace {

// Fields of CSV records: quoted fields may hold separators, doubled quotes and line ends.
// One pass over the text.
class CsvSplitter
{
public:
    CsvSplitter(const QString &text, QChar separator) : m_text(text), m_separator(separator) {}

    // The next record and the line it starts on; false at the end or on a broken quote.
    bool next(QStringList &fields, qint64 &line)
    {
        fields.clear();
        line = m_line;
        if (m_at >= m_text.size())
            return false;
        QString field;
        bool quoted = false;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (quoted) {
                if (c == QLatin1Char('"')) {
                    if (m_at < m_text.size() && m_text[m_at] == QLatin1Char('"')) {
                        field += c;
                        ++m_at;
                    } else {
                        quoted = false;
                    }
                } else {
                    m_line += c == QLatin1Char('\n') ? 1 : 0;
                    field += c;
                }
            } else if (c == QLatin1Char('"')) {
                quoted = true;
            } else if (c == m_separator) {
                fields.append(field);
                field.clear();
            } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                if (c == QLatin1Char('\r') && m_at < m_text.size() && m_text[m_at] == '\n')
                    ++m_at;
                ++m_line;
                break;
            } else {
                field += c;
            }
        }
        if (quoted) {
            m_broken = true;
            return false;
        }
        fields.append(field);
        return true;
    }

    bool broken() const { return m_broken; }

private:
    const QString &m_text;
    const QChar m_separator;
    qsizetype m_at = 0;
    qint64 m_line = 1;
    bool m_broken = false;
};

const std::array<QString, 12> kMonthNames = {
    QStringLiteral("январь"),  QStringLiteral("февраль"), QStringLiteral("март"),
    QStringLiteral("апрель"),  QStringLiteral("май"),     QStringLiteral("июнь"),
    QStringLiteral("июль"),    QStringLiteral("август"),  QStringLiteral("сентябрь"),
    QStringLiteral("октябрь"), QStringLiteral("ноябрь"),  QStringLiteral("декабрь"),
};

struct CsvColumns
{
    qsizetype year = -1;
    std::array<qsizetype, 12> months{};
};

// The columns of a header that names "Год/Месяц"; nothing for any other header. `missing`:
// the first month it lacks, for a header cut short.
std::optional<CsvColumns> csvColumns(const QStringList &header, QString &missing)
{
    CsvColumns columns;
    columns.months.fill(-1);
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed().toLower();
        if (name == QStringLiteral("год/месяц"))
            columns.year = i;
        for (std::size_t m = 0; m < kMonthNames.size(); ++m)
            if (name == kMonthNames[m])
                columns.months[m] = i;
    }
    if (columns.year < 0)
        return std::nullopt;
    for (std::size_t m = 0; m < kMonthNames.size(); ++m)
        if (columns.months[m] < 0 && missing.isEmpty())
            missing = kMonthNames[m];
    return columns;
}

// The days off listed in one month's cell, e.g. "1,2*,3+"; false for an item that is no day.
bool addMonthDaysOff(YearDays &daysOff, qint32 year, qint32 month, const QString &cell,
                     QString &badItem)
{
    for (const QStringView item : QStringView(cell).split(QLatin1Char(','))) {
        QStringView number = item.trimmed();
        if (number.isEmpty())
            continue;
        // A shortened day is a working day, even on a Saturday.
        const bool shortened = number.back() == QLatin1Char('*');
        if (shortened || number.back() == QLatin1Char('+'))
            number.chop(1);
        const std::optional<qint32> day = wholeNumber(number);
        if (!day || !QDate::isValid(year, month, *day)) {
            badItem = item.trimmed().toString();
            return false;
        }
        if (!shortened)
            daysOff.insert({month, *day});
    }
    return true;
}

std::variant<HolidayMarks, QString> readCsvYears(CsvSplitter &splitter, const CsvColumns &columns,
                                                 const QString &fileName)
{
    const qsizetype needed =
        std::max(columns.year, *std::max_element(columns.months.begin(), columns.months.end()));
    HolidayMarks marks;
    QStringList fields;
    qint64 line = 0;
    while (splitter.next(fields, line)) {
        if (fields.size() == 1 && fields[0].trimmed().isEmpty())
            continue;
        if (fields.size() <= needed)
            return damaged(fileName, line, QStringLiteral("в строке не хватает столбцов"));
        const QString yearText = fields[columns.year].trimmed();
        const std::optional<qint32> year = wholeNumber(yearText);
        if (!year)
            return damaged(fileName, line, QStringLiteral("«%1» — не год").arg(yearText));
        if (!isCalendarYear(*year))
            return yearRefused(fileName, yearText);
        if (marks.count(*year) != 0)
            return damaged(fileName, line, QStringLiteral("%1 год встречается дважды").arg(*year));

        YearMarks &year_marks = marks[*year];
        for (qint32 m = 1; m <= 12; ++m) {
            const std::size_t index = static_cast<std::size_t>(m - 1);
            QString badItem;
            if (!addMonthDaysOff(year_marks.daysOff, *year, m, fields[columns.months[index]],
                                 badItem))
                return damaged(
                    fileName, line,
                    QStringLiteral("«%1» — не день месяца «%2»").arg(badItem, kMonthNames[index]));
        }
        // Every day off is listed, so a Saturday or Sunday left out is a working day.
        for (QDate date(*year, 1, 1); date.year() == *year; date = date.addDays(1))
            if (isWeekend(date) && year_marks.daysOff.count({date.month(), date.day()}) == 0)
                year_marks.workingWeekend.insert({date.month(), date.day()});
    }
    if (splitter.broken())
        return damaged(fileName, line, QStringLiteral("кавычка не закрыта"));
    if (marks.empty())
        return damaged(fileName, line, QStringLiteral("нет ни одного года"));
    return marks;
}

} // namespace

std::variant<HolidayMarks, QString> readProductionCsv(const QByteArray &bytes,
                                                      const QString &fileName)
{
    const QString text = calendarText(bytes);
    // Commas by the format; semicolons when a spreadsheet saved it in a Russian locale.
    for (const QChar separator : {QLatin1Char(','), QLatin1Char(';')}) {
        CsvSplitter splitter(text, separator);
        QStringList fields;
        qint64 line = 0;
        bool read = splitter.next(fields, line);
        // Blank lines before the header are no part of it.
        while (read && fields.size() == 1 && fields[0].trimmed().isEmpty())
            read = splitter.next(fields, line);
        if (!read)
            break;
        QString missing;
        const std::optional<CsvColumns> columns = csvColumns(fields, missing);
        if (columns && missing.isEmpty())
            return readCsvYears(splitter, *columns, fileName);
        if (columns && fields.size() > 1)
            return notCalendar(fileName).chopped(1) +
                   QStringLiteral(": в заголовке нет столбца «%1».").arg(missing);
    }
    return notCalendar(fileName);
}

} // namespace vexilo
