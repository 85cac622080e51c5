#include "holidays/IcsImport.h"
#include "holidays/IcsOutline.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace vexilo;

namespace {

// A calendar around the given events, with the CR LF line ends of the format.
QByteArray calendar(const QStringList &events)
{
    QString text = QStringLiteral("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//RU\n");
    for (const QString &event : events)
        text += QStringLiteral("BEGIN:VEVENT\n") + event + QStringLiteral("\nEND:VEVENT\n");
    text += QStringLiteral("END:VCALENDAR\n");
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8();
}

IcsDays read(const QByteArray &bytes, const IcsOptions &options = {})
{
    const auto result = readIcs(bytes, QStringLiteral("t.ics"), options);
    if (const auto *error = std::get_if<QString>(&result)) {
        ADD_FAILURE() << error->toStdString();
        return {};
    }
    return std::get<IcsDays>(result);
}

// The message for bytes the reader refuses, or a failure when it takes them.
QString refusal(const QByteArray &bytes, const IcsOptions &options = {})
{
    const auto result = readIcs(bytes, QStringLiteral("t.ics"), options);
    if (const auto *error = std::get_if<QString>(&result))
        return *error;
    ADD_FAILURE() << "taken: " << bytes.left(200).toStdString();
    return {};
}

// What the reader writes to standard error meanwhile.
QByteArray standardErrorOf(const std::function<void()> &action)
{
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    action();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

TEST(IcsImport, AllDayEventsMarkTheirDaysWithRepetitionsAndExceptions)
{
    struct Case
    {
        const char *name;
        QString event;
        IcsOptions options;
        IcsDays expected;
    };
    const IcsOptions only2027{2027, 2027, std::nullopt};
    const std::vector<Case> cases = {
        {"DTEND is exclusive",
         "UID:a\nDTSTART;VALUE=DATE:20270309\nDTEND;VALUE=DATE:20270311",
         {},
         {{2027, {{3, 9}, {3, 10}}}}},
        {"no end is one day", "UID:a\nDTSTART;VALUE=DATE:20271231", {}, {{2027, {{12, 31}}}}},
        {"duration, across the new year",
         "UID:a\nDTSTART;VALUE=DATE:20271231\nDURATION:P2D",
         {},
         {{2027, {{12, 31}}}, {2028, {{1, 1}}}}},
        {"timed events are no holidays",
         "UID:a\nDTSTART:20270309T100000Z\nDTEND:20270309T110000Z",
         {},
         {}},
        {"yearly from 2020 reaches 2027",
         "UID:a\nDTSTART;VALUE=DATE:20200615\nRRULE:FREQ=YEARLY",
         only2027,
         {{2027, {{6, 15}}}}},
        {"every second year skips 2027",
         "UID:a\nDTSTART;VALUE=DATE:20200701\nRRULE:FREQ=YEARLY;INTERVAL=2",
         only2027,
         {}},
        {"count, exceptions and extra dates",
         "UID:a\nDTSTART;VALUE=DATE:20270104\nRRULE:FREQ=DAILY;COUNT=4\n"
         "EXDATE;VALUE=DATE:20270105,20270106\nRDATE;VALUE=DATE:20270201",
         {},
         {{2027, {{1, 4}, {1, 7}, {2, 1}}}}},
        {"cancelled", "UID:a\nSTATUS:CANCELLED\nDTSTART;VALUE=DATE:20270309", {}, {}},
        {"years outside the range are left out",
         "UID:a\nDTSTART;VALUE=DATE:09991231\nDURATION:P2D",
         {},
         {{1000, {{1, 1}}}}},
        {"a rule without end follows the other dates, or the year given",
         "UID:a\nDTSTART;VALUE=DATE:20200615\nRRULE:FREQ=YEARLY",
         {1000, 9999, 2022},
         {{2020, {{6, 15}}}, {2021, {{6, 15}}}, {2022, {{6, 15}}}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(read(calendar(QStringList{c.event}), c.options), c.expected) << c.name;

    // A moved instance replaces the one of its date.
    const QByteArray moved = calendar(QStringList{
        QStringLiteral("UID:m\nDTSTART;VALUE=DATE:20270301\nRRULE:FREQ=MONTHLY;COUNT=3"),
        QStringLiteral("UID:m\nRECURRENCE-ID;VALUE=DATE:20270401\n"
                       "DTSTART;VALUE=DATE:20270403")});
    EXPECT_EQ(read(moved), (IcsDays{{2027, {{3, 1}, {4, 3}, {5, 1}}}}));
}

TEST(IcsImport, HostileOrForeignFilesGetAMessageAndNoDays)
{
    // A daily rule without end is cheap for one year and refused for all of them.
    const QByteArray daily = calendar(
        QStringList{QStringLiteral("UID:d\nDTSTART;VALUE=DATE:10000101\nRRULE:FREQ=DAILY")});
    EXPECT_EQ(read(daily, {2027, 2027, std::nullopt}).at(2027).size(), 365u);
    const auto all = readIcs(daily, QStringLiteral("d.ics"));
    ASSERT_TRUE(std::holds_alternative<QString>(all));
    EXPECT_TRUE(std::get<QString>(all).contains(QStringLiteral("слишком много")));

    for (const QByteArray &bytes : {QByteArray(), QByteArray("0\r\n2013\r\n"),
                                    QByteArray("BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n"),
                                    QByteArray("\xFF\xD8\xFF\xE0 BEGIN:VCALENDAR", 20)}) {
        const auto result = readIcs(bytes, QStringLiteral("/tmp/x.dat"));
        ASSERT_TRUE(std::holds_alternative<QString>(result)) << bytes.toStdString();
        EXPECT_TRUE(std::get<QString>(result).contains(QStringLiteral("«/tmp/x.dat»")));
    }
    EXPECT_TRUE(std::holds_alternative<QString>(readIcsFile(QStringLiteral("/nonexistent.ics"))));
}

TEST(IcsImport, ChangedInstancesRulesAndFarYearsAreReadAsTheCalendarSays)
{
    struct Case
    {
        const char *name;
        QStringList events;
        IcsOptions options;
        IcsDays expected;
    };
    // Expected days counted by QDate, whose calendar is proleptic Gregorian in every year.
    YearDays mondays1500;
    for (QDate monday(1500, 1, 1); monday.year() == 1500; monday = monday.addDays(7))
        mondays1500.insert({monday.month(), monday.day()});
    IcsDays leapDays;
    for (qint32 year = 1604; year <= 2028; year += 4)
        if (QDate::isLeapYear(year))
            leapDays[year].insert({2, 29});
    const std::vector<Case> cases = {
        {"a changed instance with a rule of its own is one day",
         {"UID:w\nDTSTART;VALUE=DATE:20270301\nRRULE:FREQ=WEEKLY;COUNT=3",
          "UID:w\nRECURRENCE-ID;VALUE=DATE:20270308\nDTSTART;VALUE=DATE:20270309\n"
          "RRULE:FREQ=WEEKLY;INTERVAL=2\nRDATE;VALUE=DATE:20270601"},
         {},
         {{2027, {{3, 1}, {3, 9}, {3, 15}}}}},
        {"weekly across 1500, which has no 29 February",
         {"UID:j\nDTSTART;VALUE=DATE:15000220\nRRULE:FREQ=WEEKLY;COUNT=3"},
         {},
         {{1500, {{2, 20}, {2, 27}, {3, 6}}}}},
        {"the last Monday of the month in 1500",
         {"UID:j\nDTSTART;VALUE=DATE:15000129\nRRULE:FREQ=MONTHLY;COUNT=3;BYDAY=-1MO"},
         {},
         {{1500, {{1, 29}, {2, 26}, {3, 26}}}}},
        {"weekly on Mondays from 1300 without end",
         {"UID:j\nDTSTART;VALUE=DATE:13000104\nRRULE:FREQ=WEEKLY;BYDAY=MO"},
         {1500, 1500, std::nullopt},
         {{1500, mondays1500}}},
        {"daily after 2582",
         {"UID:f\nDTSTART;VALUE=DATE:26000101\nRRULE:FREQ=DAILY;COUNT=3"},
         {},
         {{2600, {{1, 1}, {1, 2}, {1, 3}}}}},
        {"the last Friday of February in 9999",
         {"UID:f\nDTSTART;VALUE=DATE:20200228\nRRULE:FREQ=YEARLY;BYMONTH=2;BYDAY=-1FR"},
         {9999, 9999, std::nullopt},
         {{9999, {{2, 26}}}}},
        {"an unknown year's birthday from 1604, up to the year shown",
         {"UID:b\nDTSTART;VALUE=DATE:16040229\nRRULE:FREQ=YEARLY"},
         {1000, 2028, 2028},
         leapDays},
        {"a rule that never yields a day, over the years wanted",
         {"UID:n\nDTSTART;VALUE=DATE:20200101\nRRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30"},
         {1000, 9999, 2027},
         {{2020, {{1, 1}}}}},
        {"a rule with COUNT that never yields a day",
         {"UID:n\nDTSTART;VALUE=DATE:20200101\nRRULE:FREQ=DAILY;COUNT=5;BYMONTH=4;BYMONTHDAY=31"},
         {2020, 2021, std::nullopt},
         {{2020, {{1, 1}}}}},
        {"a rare rule: 29 February on a Monday, from 2016",
         {"UID:r\nDTSTART;VALUE=DATE:20160229\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO"},
         {2000, 2100, std::nullopt},
         {{2016, {{2, 29}}}, {2044, {{2, 29}}}, {2072, {{2, 29}}}}},
        {"rules that can give no day",
         {"UID:b\nDTSTART;VALUE=DATE:20200101\nRRULE:FREQ=MONTHLY;BYDAY=MO;BYSETPOS=6",
          "UID:c\nDTSTART;VALUE=DATE:20200102\nRRULE:FREQ=MONTHLY;BYDAY=6MO",
          "UID:d\nDTSTART;VALUE=DATE:20200103\nRRULE:FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30",
          "UID:e\nDTSTART;VALUE=DATE:20200104\nRRULE:FREQ=YEARLY;BYMONTH=2;BYDAY=MO;BYSETPOS=-6"},
         {2020, 2021, 2021},
         {{2020, {{1, 1}, {1, 2}, {1, 3}, {1, 4}}}}},
        {"hours of a date are no more days",
         {"UID:h\nDTSTART;VALUE=DATE:20270101\nRRULE:FREQ=DAILY;COUNT=2;BYHOUR=1,2,3"},
         {},
         {{2027, {{1, 1}, {1, 2}}}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(read(calendar(c.events), c.options), c.expected) << c.name;
}

TEST(IcsImport, RulesBeyondWhatCanBeFollowedGetAMessage)
{
    const auto rule = [](const char *rrule) {
        return calendar(
            QStringList{QStringLiteral("UID:r\nDTSTART;VALUE=DATE:20200101\nRRULE:") + rrule});
    };
    const struct
    {
        QByteArray bytes;
        IcsOptions options;
        const char *says;
    } cases[] = {
        {rule("FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30"), {}, "чаще раза в день"},
        {rule("FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30"), {2020, 2020, 2020}, "чаще раза в день"},
        {rule("FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30"), {2020, 2020, 2020}, "чаще раза в день"},
        {rule("FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30"), {}, "слишком много"},
        {rule("FREQ=YEARLY"), {}, "слишком далеко"},
        {rule("FREQ=YEARLY;COUNT=2000"), {}, "слишком далеко"},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(refusal(c.bytes, c.options).contains(QString::fromUtf8(c.says)))
            << c.bytes.toStdString();
}

TEST(IcsImport, DamagedFilesAreTakenOrRefusedWholeWithoutNoise)
{
    const QByteArray plain =
        calendar(QStringList{QStringLiteral("UID:a\nDTSTART;VALUE=DATE:20270309")});
    const IcsDays marked{{2027, {{3, 9}}}};
    QByteArray folded = plain;
    folded.replace("BEGIN:VCALENDAR", "BEGIN:VCAL\r\n ENDAR");
    QByteArray longLine = plain;
    longLine.replace("UID:a", "UID:a\r\nDESCRIPTION:" + QByteArray(8 << 20, 'x') + "\r\n " +
                                  QByteArray(1 << 20, ','));
    QByteArray endsFirst = plain;
    endsFirst.prepend(QByteArray("END:VEVENT\r\n").repeated(1000));
    for (const QByteArray &bytes : {folded, "\xEF\xBB\xBF" + plain, longLine, endsFirst}) {
        QByteArray noise = standardErrorOf([&] { EXPECT_EQ(read(bytes), marked); });
        EXPECT_TRUE(noise.isEmpty()) << noise.left(200).toStdString();
    }

    const QByteArray deep = "BEGIN:VCALENDAR\r\n" + QByteArray("BEGIN:VEVENT\r\n").repeated(300000);
    QByteArray longRule = plain;
    longRule.replace("UID:a", "UID:a\r\nRRULE:FREQ=DAILY;BYMONTHDAY=" +
                                  QByteArray("1,").repeated(1 << 20) + "1");
    QByteArray manyDates = plain;
    manyDates.replace("UID:a", "UID:a\r\nRDATE;VALUE=DATE:" +
                                   QByteArray("20270101,").repeated(kMaxIcsValues) + "20270102");
    QByteArray nul = plain;
    nul.insert(20, '\0');
    const struct
    {
        QByteArray bytes;
        const char *says;
    } refused[] = {
        {deep, "не календарь"}, {longRule, "слишком длинная строка 6"}, {nul, "нулевые байты"}};
    for (const auto &c : refused)
        EXPECT_TRUE(refusal(c.bytes).contains(QString::fromUtf8(c.says))) << c.says;

    // The caller's libical error mode comes back.
    const int before = icalerror_get_errors_are_fatal();
    icalerror_set_errors_are_fatal(1);
    read(plain);
    EXPECT_EQ(icalerror_get_errors_are_fatal(), 1);
    icalerror_set_errors_are_fatal(before);
}

TEST(IcsImport, APipeIsRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("календарь.ics"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    const auto result = readIcsFile(fifo);
    ASSERT_TRUE(std::holds_alternative<QString>(result));
    EXPECT_TRUE(std::get<QString>(result).contains(QStringLiteral("не обычный файл")));
}

// The Gregorian calendar repeats every 400 years, weekdays included, so a rule read in any
// era gives the days it gives in ours, moved by whole cycles.
TEST(IcsImport, RulesGiveTheSameDaysInEveryFourHundredYearCycle)
{
    const char *rules[] = {
        "FREQ=DAILY;INTERVAL=3;COUNT=300",     "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR",
        "FREQ=MONTHLY;BYMONTHDAY=31",          "FREQ=MONTHLY;BYDAY=-1SU;COUNT=30",
        "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "FREQ=YEARLY;BYWEEKNO=1,53;BYDAY=TH"};
    const auto days = [](const char *rule, qint32 year) {
        const QString event = QStringLiteral("UID:c\nDTSTART;VALUE=DATE:%1\nRRULE:%2")
                                  .arg(QDate(year, 3, 1).toString(QStringLiteral("yyyyMMdd")))
                                  .arg(QLatin1String(rule));
        std::map<qint32, YearDays> moved;
        for (const auto &[y, d] :
             read(calendar(QStringList{event}), {year, year + 3, std::nullopt}))
            moved[y - year] = d;
        return moved;
    };
    for (const char *rule : rules) {
        const auto ours = days(rule, 2001);
        EXPECT_FALSE(ours.empty()) << rule;
        for (qint32 year : {1201, 1601, 2801, 9601})
            EXPECT_EQ(days(rule, year), ours) << rule << " from " << year;
    }
}
