#include "holidays/HolidayImport.h"

#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiStore.h"
#include "support/TempAppFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vexilo;

namespace {

const std::array<qint32, 13> kDniMesyaca = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

HolidayMarks readData(const char *name)
{
    const auto read =
        readHolidayFile(QStringLiteral(VEXILO_TEST_DATA "/prodcal/") + QString::fromUtf8(name));
    if (const auto *error = std::get_if<QString>(&read)) {
        ADD_FAILURE() << error->toStdString();
        return {};
    }
    return std::get<HolidayFile>(read).marks;
}

} // namespace

TEST(HolidayImport, ACalendarOverAnEditedYearKeepsTheUsersMarksOnWorkingDays)
{
    // 2025 as the user left it: the defaults, a birthday on a working Tuesday, and 9 March,
    // a Sunday, unmarked by hand.
    PrazdnikiStore store;
    store.append();
    clsPrazdniki &year = *store.entry(0);
    year.God = 2025;
    addDefaultHolidays(year, 2025, kDniMesyaca);
    ASSERT_TRUE(year.AddPrazdnik(4, 15));
    ASSERT_TRUE(year.Add(3, 9));

    const std::vector<ImportedYear> first =
        importHolidays(store, readData("ru-2025.xml"), kDniMesyaca);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_FALSE(first[0].created);
    // 8 January, 9 March, 2 and 8 May, 13 June, 3 November and 31 December were unmarked.
    EXPECT_EQ(first[0].changes.marked, 7);
    EXPECT_EQ(first[0].changes.unmarked, 1);
    EXPECT_EQ(
        importSummary(first),
        QStringLiteral("Отмечено 7 дней, снято 1 (рабочие субботы и воскресенья). 2025 год."));
    const struct
    {
        qint32 month, day, mark;
    } expected[] = {{4, 15, 1}, {3, 9, 1},  {1, 8, 1},  {5, 2, 1}, {6, 13, 1},
                    {11, 3, 1}, {11, 1, 0}, {11, 2, 1}, {3, 7, 0}, {12, 31, 1}};
    for (const auto &e : expected)
        EXPECT_EQ(year.mark(e.month, e.day), e.mark) << e.month << "." << e.day;

    // Again, and the CSV of both years: 2025 stays, 2026 is created from its defaults.
    const std::vector<ImportedYear> again =
        importHolidays(store, readData("ru-2025.xml"), kDniMesyaca);
    EXPECT_EQ(importSummary(again),
              QStringLiteral("Ничего не изменилось: дни из файла уже отмечены так же. 2025 год."));
    const std::vector<ImportedYear> both =
        importHolidays(store, readData("ru-2025-2026.csv"), kDniMesyaca);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].changes.marked + both[0].changes.unmarked, 0);
    EXPECT_TRUE(both[1].created);
    EXPECT_EQ(store.NaytiGod(2026), both[1].entry);
    // 8 and 9 January, 9 March, 11 May and 31 December beyond the defaults.
    EXPECT_EQ(importSummary(both), QStringLiteral("Отмечено 5 дней. Годы: 2025, 2026."));
    EXPECT_EQ(store.entry(both[1].entry)->mark(3, 9), 1);
    EXPECT_EQ(store.entry(both[1].entry)->mark(3, 10), 0);
}

TEST(HolidayImport, TheSummaryCountsInRussian)
{
    const struct
    {
        qint32 marked;
        const char *text;
    } cases[] = {{1, "Отмечен 1 день."},   {3, "3 дня."},      {11, "11 дней."},
                 {21, "Отмечен 21 день."}, {112, "112 дней."}, {5, "5 дней."}};
    for (const auto &c : cases) {
        const QString text = importSummary({ImportedYear{2027, {c.marked, 0}, 0, false}});
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.text))) << text.toStdString();
    }
}

TEST(HolidayImport, OnlyRegularFilesOfBoundedSizeAreRead)
{
    // A pipe would block the window for ever; a huge file would fill the memory.
    vexilo::test::TempAppFolder app;
    ASSERT_EQ(::mkfifo(QFile::encodeName(app.file(QStringLiteral("pipe"))).constData(), 0666), 0);
    app.makeFolder(QStringLiteral("folder"));
    QFile huge(app.file(QStringLiteral("huge.ics")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write("BEGIN:VCALENDAR\r\n") > 0 &&
                huge.resize(kMaxHolidayFileBytes + 1));
    huge.close();
    const struct
    {
        const char *name;
        const char *says;
    } cases[] = {{"pipe", "не обычный файл"},
                 {"folder", "не обычный файл"},
                 {"missing", "Не удалось прочитать"},
                 {"huge.ics", "слишком велик"}};
    for (const auto &c : cases) {
        const auto read = readHolidayFile(app.file(QString::fromUtf8(c.name)));
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.name;
        EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(c.says))) << c.name;
    }
}
