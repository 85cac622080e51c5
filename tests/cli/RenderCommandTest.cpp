#include "cli/RenderCommand.h"

#include "common/Version.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetRender.h"
#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiFile.h"
#include "holidays/PrazdnikiStore.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

void writeGlyphs(const QString &folder)
{
    QDir().mkpath(folder);
    QImage digit(6, 9, QImage::Format_RGB32);
    digit.fill(Qt::darkBlue);
    QImage weekday(12, 9, QImage::Format_RGB32);
    weekday.fill(Qt::darkGreen);
    for (int d = 0; d < 10; ++d)
        digit.save(folder + digitFileName(d), "PNG");
    for (const QString &name : weekdayFileNames())
        weekday.save(folder + name, "PNG");
}

struct RenderRun
{
    int status = -1;
    QString out;
    QString err;
};

RenderRun render(const TempAppFolder &app, QStringList args)
{
    RenderRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    args.prepend(QStringLiteral("vexilo-render"));
    run.status = runRender(args, out, err, app.path());
    out.flush();
    err.flush();
    return run;
}

} // namespace

TEST(RenderCommand, UsageErrorsExitWithTwoAndOneLine)
{
    TempAppFolder app;
    for (const QStringList &args :
         {QStringList{QStringLiteral("--per-row"), QStringLiteral("5")},
          QStringList{QStringLiteral("--bogus")},
          QStringList{QStringLiteral("-y"), QStringLiteral("20x3")},
          QStringList{QStringLiteral("-m"), QStringLiteral("13")},
          QStringList{QStringLiteral("--dates-x"), QStringLiteral("1.5")},
          QStringList{QStringLiteral("--format"), QStringLiteral("gif")},
          QStringList{QStringLiteral("--dpi"), QStringLiteral("0")},
          QStringList{QStringLiteral("--dpi"), QStringLiteral("2401")},
          QStringList{QStringLiteral("--paper"), QStringLiteral("B5")},
          QStringList{QStringLiteral("-g")}, QStringList{QStringLiteral("--whole=yes")},
          QStringList{QStringLiteral("stray")}}) {
        const RenderRun run = render(app, args);
        EXPECT_EQ(run.status, RenderUsage) << args.join(u' ').toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        // One style: the program, the reason in Russian, where to read more.
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vexilo-render: ")));
        EXPECT_TRUE(run.err.endsWith(QStringLiteral(". Подробнее: vexilo-render --help\n")));
        EXPECT_TRUE(run.err.contains(QRegularExpression(QStringLiteral("[а-я]{5}"))))
            << run.err.toStdString();
    }
}

TEST(RenderCommand, FailuresTheWindowReportsExitWithOneAndItsMessage)
{
    TempAppFolder app;
    writeGlyphs(app.path() + QStringLiteral("set/"));
    const QString glyphs = app.path() + QStringLiteral("set");

    RenderRun run =
        render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("-y"), QStringLiteral("999")});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Не зачем вам календарь этого года."));

    // The window's message, then what is missing: the folder, or the first file of the set.
    const QString loadFailed = QStringLiteral("Произошла ошибка при загрузке картинок.\n");
    run = render(app, {QStringLiteral("-g"), app.path() + QStringLiteral("missing")});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_EQ(run.err,
              loadFailed +
                  QStringLiteral("Нет папки «%1».\n").arg(app.path() + QStringLiteral("missing/")));
    QFile::remove(app.path() + QStringLiteral("set/Ср.gif"));
    run = render(app, {QStringLiteral("-g"), glyphs});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_EQ(
        run.err,
        loadFailed +
            QStringLiteral("Нет файла «%1».\n").arg(app.path() + QStringLiteral("set/Ср.gif")));
    writeGlyphs(app.path() + QStringLiteral("set/"));

    run = render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("--holidays"),
                       app.file(QStringLiteral("нет.dat"))});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_TRUE(run.err.contains(QStringLiteral("нет.dat")));

    run = render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("--dates-y"),
                       QStringLiteral("2147483647")});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_TRUE(run.err.endsWith(
        QStringLiteral("Календарь получается слишком большим. Уменьшите расстояния.\n")));

    app.makeFolder(QStringLiteral("taken.bmp"));
    run = render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("-m"), QStringLiteral("1"),
                       QStringLiteral("-o"), app.file(QStringLiteral("taken"))});
    EXPECT_EQ(run.status, RenderFailed);
    EXPECT_TRUE(run.err.contains(app.file(QStringLiteral("taken.bmp"))));
}

TEST(RenderCommand, WhatCannotBeReadOrWrittenStopsItBeforeAnyFileIsWritten)
{
    TempAppFolder app;
    writeGlyphs(app.path() + QStringLiteral("set/"));
    const QString glyphs = app.path() + QStringLiteral("set");
    const QString fifo = app.file(QStringLiteral("pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    // A pipe, a device, a folder: refused at once, never waited on.
    for (const QString &holidays : {fifo, QStringLiteral("/dev/zero"), app.path()}) {
        const RenderRun run =
            render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("--holidays"), holidays,
                         QStringLiteral("-o"), app.file("x")});
        EXPECT_EQ(run.status, RenderFailed);
        EXPECT_EQ(run.err,
                  QStringLiteral("Файл праздников «%1» — не обычный файл.\n").arg(holidays));
    }

    const QString tooLong(200, u'я');
    app.makeFolder(QStringLiteral("year_ряд3.bmp")); // the third row cannot be written
    const struct
    {
        QString out;
        QString err;
    } outputs[] = {
        {app.file(QStringLiteral("missing/x")),
         QStringLiteral("Папка «%1» не найдена.\n").arg(app.file(QStringLiteral("missing")))},
        {app.file(tooLong),
         QStringLiteral("Имя файла «%1_ряд1.bmp» слишком длинное.\n").arg(tooLong)},
        {app.file(QStringLiteral("year")),
         QStringLiteral("Указанное имя занято папкой.\nФайл «%1» сохранить не возможно.\n")
             .arg(app.file(QStringLiteral("year_ряд3.bmp")))},
    };
    for (const auto &o : outputs) {
        const RenderRun run =
            render(app, {QStringLiteral("-g"), glyphs, QStringLiteral("-o"), o.out});
        EXPECT_EQ(run.status, RenderFailed);
        EXPECT_TRUE(run.err.endsWith(o.err)) << run.err.toStdString();
    }
    EXPECT_EQ(QDir(app.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(RenderCommand, AYearMissingFromTheHolidaysUsesItsDefaultsAndSaysSo)
{
    TempAppFolder app;
    writeGlyphs(app.path() + QStringLiteral("set/"));
    const RenderRun run =
        render(app, {QStringLiteral("-g"), app.path() + QStringLiteral("set"), QStringLiteral("-y"),
                     QStringLiteral("2028"), QStringLiteral("-m"), QStringLiteral("2"),
                     QStringLiteral("-o"), app.file(QStringLiteral("feb.png")),
                     QStringLiteral("--format"), QStringLiteral("png")});
    ASSERT_EQ(run.status, RenderOk) << run.err.toStdString();
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("2028")));
    // Left offset 12 + 20, column step 2 x 6 + 10, row pitch 9 + 5.
    EXPECT_EQ(run.out, app.file(QStringLiteral("feb.png")) + QStringLiteral("\nРазмер: 173x93\n"));
    const QImage sheet(app.file(QStringLiteral("feb.png")));
    ASSERT_EQ(sheet.size(), QSize(172, 93));
    // 1 February 2028 is a Tuesday: the 29th is the Tuesday of the fifth week column.
    EXPECT_EQ(sheet.pixel(32 + 4 * 22, 14), QColor(Qt::darkBlue).rgb());
    EXPECT_EQ(sheet.pixel(32 + 4 * 22 + 6 + 3, 14), QColor(Qt::darkBlue).rgb());
    // 23 February, a Wednesday, is one of the default holidays: the red tint of (0, 0, 128)
    // is (255, 16 + round(0.098 x 128), ...) = (255, 29, 29).
    EXPECT_EQ(sheet.pixel(32 + 3 * 22, 28), qRgb(255, 29, 29));
}

TEST(RenderCommand, TheBundledSetDrawsAYearIntoThreeFiles)
{
    TempAppFolder out;
    QProcess process;
    process.setWorkingDirectory(out.path());
    process.start(QStringLiteral(VEXILO_APP_DIR "/vexilo-render"),
                  {QStringLiteral("-y"), QStringLiteral("2027"), QStringLiteral("-o"),
                   out.file(QStringLiteral("k"))});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    for (int n = 1; n <= 3; ++n)
        EXPECT_FALSE(QImage(out.file(QStringLiteral("k_ряд%1.bmp").arg(n))).isNull()) << n;
    EXPECT_TRUE(QImage(out.file(QStringLiteral("k_ряд4.bmp"))).isNull());
}

TEST(RenderCommand, TheDefaultSetIsTheFirstThatLoadsAndVersionNeedsNoSet)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("out")); // sorts before the set, holds no glyphs
    writeGlyphs(app.path() + QStringLiteral("набор/"));
    const RenderRun run = render(app, {QStringLiteral("-y"), QStringLiteral("2027"),
                                       QStringLiteral("-o"), app.file(QStringLiteral("k"))});
    EXPECT_EQ(run.status, RenderOk) << run.err.toStdString();
    EXPECT_FALSE(QImage(app.file(QStringLiteral("k_ряд1.bmp"))).isNull());

    const RenderRun version = render(app, {QStringLiteral("--version")});
    EXPECT_EQ(version.status, RenderOk);
    EXPECT_EQ(version.out, QStringLiteral("vexilo-render %1\n").arg(projectVersion()));
}

TEST(RenderCommand, EventsOfACalendarFileAreDrawnAsTheSameHolidaysInAHolidayFile)
{
    TempAppFolder app;
    writeGlyphs(app.path() + QStringLiteral("set/"));
    app.write(QStringLiteral("k.ics"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//RU\r\n"
              "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20270309\r\n"
              "DTEND;VALUE=DATE:20270311\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20200317\r\nRRULE:FREQ=YEARLY\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n");
    // The defaults of 2027 (weekends and 8 March in this month) plus 9, 10 and 17 March.
    PrazdnikiStore store;
    store.append();
    store.entry(0)->God = 2027;
    addDefaultHolidays(*store.entry(0), 2027, monthLengthsOf(2027));
    for (const qint32 day : {9, 10, 17})
        ASSERT_TRUE(store.entry(0)->AddPrazdnik(3, day));
    app.write(QStringLiteral("h.dat"), writePrazdniki(store));

    const QStringList common = {QStringLiteral("-g"),       app.file(QStringLiteral("set")),
                                QStringLiteral("-y"),       QStringLiteral("2027"),
                                QStringLiteral("-m"),       QStringLiteral("3"),
                                QStringLiteral("--format"), QStringLiteral("png"),
                                QStringLiteral("-o")};
    const RenderRun fromIcs =
        render(app, common + QStringList{app.file(QStringLiteral("a.png")), QStringLiteral("--ics"),
                                         app.file(QStringLiteral("k.ics"))});
    ASSERT_EQ(fromIcs.status, RenderOk) << fromIcs.err.toStdString();
    const RenderRun fromFile = render(app, common + QStringList{app.file(QStringLiteral("b.png")),
                                                                QStringLiteral("--holidays"),
                                                                app.file(QStringLiteral("h.dat"))});
    ASSERT_EQ(fromFile.status, RenderOk) << fromFile.err.toStdString();
    const QImage a(app.file(QStringLiteral("a.png")));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a, QImage(app.file(QStringLiteral("b.png"))));
    // Without the file the 9th is an ordinary Tuesday: the calendar really changed the sheet.
    const RenderRun plain = render(app, common + QStringList{app.file(QStringLiteral("c.png"))});
    ASSERT_EQ(plain.status, RenderOk);
    EXPECT_NE(a, QImage(app.file(QStringLiteral("c.png"))));

    const RenderRun bad =
        render(app, common + QStringList{app.file(QStringLiteral("d.png")), QStringLiteral("--ics"),
                                         app.file(QStringLiteral("h.dat"))});
    EXPECT_EQ(bad.status, RenderFailed);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("iCalendar")));
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("d.png"))));
}

TEST(RenderCommand, ImportedCalendarsApplyInOrderOverTheHolidays)
{
    TempAppFolder app;
    writeGlyphs(app.path() + QStringLiteral("set/"));
    app.write(QStringLiteral("sat.ics"), "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//RU\r\n"
                                         "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20251101\r\n"
                                         "END:VEVENT\r\nEND:VCALENDAR\r\n");
    // November 2025 as the decree has it: 3 November a day off, Saturday the 1st a working
    // day; and the same with the 1st marked again.
    PrazdnikiStore decreed;
    decreed.append();
    decreed.entry(0)->God = 2025;
    addDefaultHolidays(*decreed.entry(0), 2025, monthLengthsOf(2025));
    ASSERT_TRUE(decreed.entry(0)->AddPrazdnik(11, 3));
    ASSERT_TRUE(decreed.entry(0)->Add(11, 1));
    app.write(QStringLiteral("decreed.dat"), writePrazdniki(decreed));
    ASSERT_TRUE(decreed.entry(0)->Add(11, 1));
    app.write(QStringLiteral("saturday.dat"), writePrazdniki(decreed));

    const QString xml = QStringLiteral(VEXILO_TEST_DATA "/prodcal/ru-2025.xml");
    const QString csv = QStringLiteral(VEXILO_TEST_DATA "/prodcal/ru-2025-2026.csv");
    const QString ics = app.file(QStringLiteral("sat.ics"));
    const struct
    {
        const char *name;
        QStringList options;
        const char *sameAs;
    } cases[] = {
        {"xml", {QStringLiteral("--import"), xml}, "decreed.dat"},
        {"csv", {QStringLiteral("--import"), csv}, "decreed.dat"},
        {"ics after",
         {QStringLiteral("--import"), xml, QStringLiteral("--ics"), ics},
         "saturday.dat"},
        {"ics before",
         {QStringLiteral("--import"), ics, QStringLiteral("--import"), xml},
         "decreed.dat"},
    };
    const QStringList common = {QStringLiteral("-g"),       app.file(QStringLiteral("set")),
                                QStringLiteral("-y"),       QStringLiteral("2025"),
                                QStringLiteral("-m"),       QStringLiteral("11"),
                                QStringLiteral("--format"), QStringLiteral("png"),
                                QStringLiteral("-o")};
    for (const auto &c : cases) {
        const RenderRun imported =
            render(app, common + QStringList{app.file(QStringLiteral("a.png"))} + c.options);
        ASSERT_EQ(imported.status, RenderOk) << c.name << imported.err.toStdString();
        const RenderRun reference =
            render(app, common + QStringList{app.file(QStringLiteral("b.png")),
                                             QStringLiteral("--holidays"),
                                             app.file(QString::fromUtf8(c.sameAs))});
        ASSERT_EQ(reference.status, RenderOk) << c.name;
        const QImage sheet(app.file(QStringLiteral("a.png")));
        ASSERT_FALSE(sheet.isNull()) << c.name;
        EXPECT_EQ(sheet, QImage(app.file(QStringLiteral("b.png")))) << c.name;
    }
    // The order really changes the sheet: the two references differ.
    for (const char *name : {"decreed", "saturday"})
        ASSERT_EQ(render(app, common + QStringList{app.file(QStringLiteral("%1.png").arg(name)),
                                                   QStringLiteral("--holidays"),
                                                   app.file(QStringLiteral("%1.dat").arg(name))})
                      .status,
                  RenderOk);
    EXPECT_NE(QImage(app.file(QStringLiteral("decreed.png"))),
              QImage(app.file(QStringLiteral("saturday.png"))));

    // A damaged calendar stops the run before anything is written.
    app.write(QStringLiteral("bad.csv"), "Год/Месяц,Январь\n2025,\"1\"\n");
    const RenderRun bad = render(app, common + QStringList{app.file(QStringLiteral("d.png")),
                                                           QStringLiteral("--import"),
                                                           app.file(QStringLiteral("bad.csv"))});
    EXPECT_EQ(bad.status, RenderFailed);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("bad.csv")));
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("d.png"))));
}
