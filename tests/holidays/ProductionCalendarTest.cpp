#include "holidays/HolidayImport.h"

#include "common/Text1251.h"

#include <QFile>
#include <QStringConverter>

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(VEXILO_TEST_DATA "/prodcal/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

HolidayMarks marksOf(const QByteArray &bytes, HolidayFormat expected)
{
    const auto read = readHolidays(bytes, QStringLiteral("k"));
    if (const auto *error = std::get_if<QString>(&read)) {
        ADD_FAILURE() << error->toStdString();
        return {};
    }
    EXPECT_EQ(std::get<HolidayFile>(read).format, expected);
    return std::get<HolidayFile>(read).marks;
}

} // namespace

// Both files are written out from the decree of 4 October 2024 on the days off of 2025 and
// that of 24 September 2025 for 2026.
TEST(ProductionCalendar, BothFormatsGiveTheDecreedDaysOffAndWorkingSaturdays)
{
    const HolidayMarks xml = marksOf(dataFile("ru-2025.xml"), HolidayFormat::ProductionXml);
    ASSERT_EQ(xml.size(), 1u);
    const YearMarks &y2025 = xml.at(2025);
    EXPECT_EQ(y2025.daysOff.size(), 118u); // as the decree counts them
    EXPECT_EQ(y2025.workingWeekend, (YearDays{{11, 1}}));
    // Days off moved from January into May and December, from March into June, and the
    // holidays that fall on a weekend.
    for (const auto &day :
         YearDays{{1, 4}, {1, 8}, {2, 23}, {5, 2}, {5, 8}, {6, 13}, {11, 3}, {12, 31}})
        EXPECT_EQ(y2025.daysOff.count(day), 1u) << day.first << "." << day.second;
    const QByteArray csv = dataFile("ru-2025-2026.csv");
    const HolidayMarks fromCsv = marksOf(csv, HolidayFormat::ProductionCsv);
    ASSERT_EQ(fromCsv.size(), 2u);
    EXPECT_EQ(fromCsv.at(2025), y2025);
    EXPECT_EQ(fromCsv.at(2026).daysOff.size(), 118u);
    EXPECT_TRUE(fromCsv.at(2026).workingWeekend.empty());
    EXPECT_EQ(fromCsv.at(2026).daysOff.count({1, 9}), 1u);

    // The same file as a spreadsheet in a Russian locale saves it, and with the columns
    // rearranged: the header says where each month is.
    QString text = QString::fromUtf8(csv);
    bool quoted = false;
    for (QChar &c : text) {
        quoted ^= c == QLatin1Char('"');
        if (!quoted && c == QLatin1Char(','))
            c = QLatin1Char(';');
    }
    const QByteArray semicolons = toWindows1251(text);
    EXPECT_EQ(marksOf(semicolons, HolidayFormat::ProductionCsv), fromCsv);
    const QByteArray reordered =
        "\xEF\xBB\xBFИтого,Декабрь,Ноябрь,Октябрь,Сентябрь,Август,Июль,Июнь,Май,Апрель,Март,"
        "Февраль,Январь,Год/Месяц\r\n"
        "0,\"\",\"1,2,8,9,15,16,22,23,29,30\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "2025\r\n";
    const YearMarks only = marksOf(reordered, HolidayFormat::ProductionCsv).at(2025);
    EXPECT_EQ(only.daysOff.size(), 10u);
    EXPECT_EQ(only.workingWeekend.count({11, 1}), 0u);
    EXPECT_EQ(only.workingWeekend.count({12, 6}), 1u);
}

TEST(ProductionCalendar, DamagedOrForeignFilesGetAMessage)
{
    const QByteArray header =
        "Год/Месяц,Январь,Февраль,Март,Апрель,Май,Июнь,Июль,Август,Сентябрь,Октябрь,Ноябрь,"
        "Декабрь\n";
    const QByteArray months = ",\"1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n";
    const QByteArray xmlStart = "<?xml version=\"1.0\"?><calendar year=\"2025\"><days>";
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *says;
    };
    const std::vector<Case> cases = {
        {"empty", QByteArray(), "не календарь"},
        {"a holiday file", QByteArray("0\r\n2013\r\n"), "не календарь"},
        {"other XML", QByteArray("<html><body/></html>"), "не производственный"},
        {"XML cut short", xmlStart + "<day d=\"01.01\" t=\"1\"", "повреждён"},
        {"XML day out of the year", xmlStart + "<day d=\"02.29\" t=\"1\"/></days></calendar>",
         "02.29"},
        {"XML unknown kind of day", xmlStart + "<day d=\"01.09\" t=\"7\"/></days></calendar>",
         "вид дня"},
        {"XML year beyond the program's", "<calendar year=\"12025\"><days/></calendar>",
         "от 1000 до 9999"},
        {"XML nested without end", xmlStart + QByteArray(5000, 'x').replace("x", "<a>"),
         "повреждён"},
        {"CSV without months", "Год/Месяц,Январь\n2025,\"1\"\n", "не производственный"},
        {"CSV day 32",
         header + "2025,\"32\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n", "«32»"},
        {"CSV word for a day", header + "2025" + QByteArray(months).replace("\"1\"", "\"1,x\""),
         "«x»"},
        {"CSV short line", header + "2025,\"1\"\n", "столбцов"},
        {"CSV open quote", header + "2025,\"1,2\n", "кавычка"},
        {"CSV year twice", header + "2025" + months + "2025" + months, "дважды"},
        {"CSV year 99", header + "99" + months, "от 1000 до 9999"},
        {"CSV without years", header, "нет ни одного года"},
    };
    for (const Case &c : cases) {
        const auto read = readHolidays(c.bytes, QStringLiteral("/tmp/x.dat"));
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.name;
        const QString message = std::get<QString>(read);
        EXPECT_TRUE(message.contains(QStringLiteral("«/tmp/x.dat»"))) << c.name;
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says)))
            << c.name << ": " << message.toStdString();
    }
}

// A calendar saved in capitals, as UTF-16 or after blank lines is the same calendar; one cut
// short says so instead of giving the days before the cut, or none.
TEST(ProductionCalendar, EveryWayOfSavingReadsTheSameAndACutFileIsReported)
{
    const QByteArray csv = dataFile("ru-2025-2026.csv");
    const QByteArray xml = dataFile("ru-2025.xml");
    const auto utf16 = [](const QByteArray &utf8, QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        return QByteArray(encoder.encode(QString::fromUtf8(utf8)));
    };
    const struct
    {
        const char *name;
        QByteArray bytes;
        QByteArray same;
        HolidayFormat format;
    } saved[] = {
        {"capitals", QString::fromUtf8(csv).toUpper().toUtf8(), csv, HolidayFormat::ProductionCsv},
        {"UTF-16 LE", utf16(csv, QStringConverter::Utf16LE), csv, HolidayFormat::ProductionCsv},
        {"UTF-16 BE", utf16(csv, QStringConverter::Utf16BE), csv, HolidayFormat::ProductionCsv},
        {"5 KB of blanks", QByteArray(5000, ' ') + "\r\n\r\n" + csv, csv,
         HolidayFormat::ProductionCsv},
        {"XML in UTF-16", utf16(xml, QStringConverter::Utf16LE), xml, HolidayFormat::ProductionXml},
    };
    for (const auto &s : saved)
        EXPECT_EQ(marksOf(s.bytes, s.format), marksOf(s.same, s.format)) << s.name;

    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *says;
    } cut[] = {
        {"iCalendar",
         "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20250101\r\n"
         "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\nDTST",
         "не дописан: он обрывается на строке 8"},
        {"CSV header", "Год/Месяц,Январь,Февраль,Ма", "нет столбца «март»"},
    };
    for (const auto &c : cut) {
        const auto read = readHolidays(c.bytes, QStringLiteral("k"));
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.name;
        EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(c.says)))
            << c.name << ": " << std::get<QString>(read).toStdString();
    }
}
