#include "holidays/frmPrazdniki.h"

#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiFile.h"
#include "platform/PictureBox.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const std::array<qint32, 13> kDniMesyaca = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Red and black pixels inside a cell of the month grid.
std::pair<int, int> redAndBlack(const QImage &image, int column, int row)
{
    int red = 0;
    int black = 0;
    for (int y = 45 * row + 1; y < 45 * row + 45; ++y)
        for (int x = 45 * column + 1; x < 45 * column + 45; ++x) {
            red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
            black += image.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
        }
    return {red, black};
}

} // namespace

TEST(HolidayEditorImport, AProductionCalendarMarksDaysOffAndBlackensWorkingSaturdays)
{
    TempAppFolder app;
    PrazdnikiStore store;
    store.append();
    store.entry(0)->God = 2025;
    addDefaultHolidays(*store.entry(0), 2025, kDniMesyaca);
    ASSERT_TRUE(store.entry(0)->AddPrazdnik(4, 15)); // the user's own day
    const QString path = prazdnikiPath(app.path());
    app.write(QStringLiteral("Праздники.dat"), writePrazdniki(store));
    const QByteArray file = app.read(QStringLiteral("Праздники.dat"));
    FakePlatform platform;
    frmPrazdniki form(store, path, kDniMesyaca, QStringLiteral("2025"), platform);
    form.lstMesyacy->setCurrentRow(10); // November

    platform.openNames = {QStringLiteral(VEXILO_TEST_DATA "/prodcal/ru-2025.xml")};
    form.kImport->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(
        platform.messages[0].text,
        QStringLiteral("Отмечено 6 дней, снято 1 (рабочие субботы и воскресенья). 2025 год."));
    EXPECT_EQ(store.entry(0)->mark(4, 15), 1);
    // 1 November 2025, a Saturday, turns black at once; Monday the 3rd red.
    const auto [saturdayRed, saturdayBlack] = redAndBlack(form.picMesyac->image(), 0, 5);
    EXPECT_EQ(saturdayRed, 0);
    EXPECT_GT(saturdayBlack, 0);
    EXPECT_GT(redAndBlack(form.picMesyac->image(), 1, 0).first, 0);
    EXPECT_EQ(app.read(QStringLiteral("Праздники.dat")), file); // nothing saved yet

    // Damaged or foreign files of each format: one message each, no mark changed.
    const QByteArray marks = writePrazdniki(store);
    const QByteArray header = "Год/Месяц,Январь,Февраль,Март,Апрель,Май,Июнь,Июль,Август,"
                              "Сентябрь,Октябрь,Ноябрь,Декабрь\n";
    const std::vector<QByteArray> bad = {
        "<?xml version=\"1.0\"?><calendar year=\"2025\"><days><day d=\"13.01\" t=\"1\"/>",
        header + "2025,\"1,2,3\",\"30\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n",
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT",
        QByteArray("\x89PNG\r\n\x1a\n\0\0", 10),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        platform.messages.clear();
        app.write(QStringLiteral("bad"), bad[i]);
        platform.openNames = {app.file(QStringLiteral("bad"))};
        form.kImport->click();
        ASSERT_EQ(platform.messages.size(), 1u) << i;
        EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information) << i;
        EXPECT_EQ(writePrazdniki(store), marks) << i;
    }

    // A file without the shown year says which it holds and offers no "только 2025 год";
    // "Нет" then leaves everything as it was, with no other message.
    const struct
    {
        const char *years;
        QString question;
    } others[] = {
        {"2030", QStringLiteral("В файле нет праздников 2025 года. Отметить праздники 2030 года?")},
        {"2026 2030",
         QStringLiteral("В файле нет праздников 2025 года. Отметить праздники всех лет из файла "
                        "(2026–2030)?")},
    };
    for (const auto &other : others) {
        QByteArray csv = header;
        for (const QByteArray &y : QByteArray(other.years).split(' '))
            csv += y + ",\"1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n";
        app.write(QStringLiteral("other.csv"), csv);
        platform.messages.clear();
        platform.openNames = {app.file(QStringLiteral("other.csv"))};
        platform.answers = {MsgAnswer::No};
        form.kImport->click();
        ASSERT_EQ(platform.messages.size(), 1u) << other.years;
        EXPECT_EQ(platform.messages[0].text, other.question);
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(writePrazdniki(store), marks);
    }
}
