#include "holidays/IcsImport.h"

#include <QStringList>

#include <gtest/gtest.h>

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
