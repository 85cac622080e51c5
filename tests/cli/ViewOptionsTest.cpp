// The renderer's period, page and layout options: what each set of arguments asks to draw, and
// the usage errors of those that cannot be drawn, before anything is written.
#include "cli/RenderCommand.h"

#include "compose/glyphs/GlyphSet.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

QStringList split(const char *args)
{
    QStringList list{QStringLiteral("vexilo-render")};
    list << QString::fromUtf8(args).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return list;
}

// One line for a request: the year and month, then every field of the view that is not its
// default, so a failure shows what differs.
QString describe(const ViewRequest &r)
{
    const CalendarView &v = r.view;
    QString text = QStringLiteral("%1/%2 r%3").arg(r.year).arg(r.month).arg(r.perRowIndex);
    if (v.period)
        text += QStringLiteral(" from %1-%2+%3")
                    .arg(v.period->year)
                    .arg(v.period->month)
                    .arg(v.period->months);
    const std::pair<bool, QString> marks[] = {
        {v.perPage != 0, QStringLiteral(" page%1").arg(v.perPage)},
        {v.monthsPerRow != 0, QStringLiteral(" row%1").arg(v.monthsPerRow)},
        {v.quarterly, QStringLiteral(" quarterly")},
        {v.weekdaysAcross, QStringLiteral(" across")},
        {v.weekStart == WeekStart::Sunday, QStringLiteral(" sunday")},
        {v.monthTitles != TitleAlign::None,
         QStringLiteral(" titles%1").arg(static_cast<int>(v.monthTitles))},
        {v.titleGap != 10, QStringLiteral(" gap%1").arg(v.titleGap)},
        {v.yearTitle, QStringLiteral(" year")},
        {v.weekNumbers, QStringLiteral(" weeks")},
        {v.neighbourDays, QStringLiteral(" neighbours")},
    };
    for (const auto &[shown, mark] : marks)
        if (shown)
            text += mark;
    return text;
}

int run(const QStringList &args, QString &out, QString &err, const QString &folder)
{
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = runRender(args, outStream, errStream, folder);
    outStream.flush();
    errStream.flush();
    return status;
}

} // namespace

TEST(ViewOptions, EachSetOfOptionsAsksForItsViewOrIsAUsageErrorBeforeAnythingIsWritten)
{
    // Titles: 1 left, 2 centre, 3 right.
    const std::pair<const char *, const char *> good[] = {
        {"-y 2027", "2027/0 r2"},
        {"-y 2027 -m 3 -r 6", "2027/3 r3"},
        {"-y 2027 -r 1", "2027/0 r2 row1"},
        {"--from 2026-09 --months 12 -r 4", "2026/0 r2 from 2026-9+12"},
        {"--from 2026-09", "2026/0 r2 from 2026-9+12"},
        {"--from 2027-01 --months 12 --per-page 1", "2027/0 r2 from 2027-1+12 page1"},
        {"-y 2027 --months 14", "2027/0 r2 from 2027-1+14"},
        {"-y 2027 -m 11 --months 3", "2027/0 r2 from 2027-11+3"},
        {"-y 2027 --per-page 2", "2027/0 r2 page2"},
        {"--quarterly -y 2027", "2027/0 r2 quarterly"},
        {"--quarterly -y 2027 -m 5", "2027/0 r2 from 2027-5+1 quarterly"},
        {"--quarterly --from 9999-01 --months 11", "9999/0 r2 from 9999-1+11 quarterly"},
        {"--from 9999-01 --months 12", "9999/0 r2 from 9999-1+12"},
        {"-y 2027 --weekdays-across --sunday-first --year-title --week-numbers "
         "--neighbour-days",
         "2027/0 r2 across sunday year weeks neighbours"},
        {"-y 2027 --month-titles", "2027/0 r2 titles2"},
        {"-y 2027 --month-titles left --title-gap 4", "2027/0 r2 titles1 gap4"},
        {"-y 2027 --month-titles=right", "2027/0 r2 titles3"},
        {"-y 2027 --month-titles --year-title", "2027/0 r2 titles2 year"},
        // The value of -o is a name, even one that looks like the option.
        {"-y 2027 -o --month-titles", "2027/0 r2"},
    };
    for (const auto &[args, expected] : good) {
        const auto view = renderViewOf(split(args));
        ASSERT_TRUE(std::holds_alternative<ViewRequest>(view))
            << args << ": " << std::get<QString>(view).toStdString();
        EXPECT_EQ(describe(std::get<ViewRequest>(view)), QString::fromUtf8(expected)) << args;
    }

    TempAppFolder app;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app.path()));
    const std::pair<const char *, const char *> bad[] = {
        {"--months 0", "--months должно быть от 1 до 36"},
        {"--months 37", "от 1 до 36, а не «37»"},
        {"--per-page 37", "--per-page должно быть от 1 до 36"},
        {"--per-page 0", "--per-page"},
        {"--from 2027-13", "--from должно быть месяцем ГГГГ-ММ с 1000-01 по 9999-12"},
        {"--from 999-01", "а не «999-01»"},
        {"--from 2027-1", "а не «2027-1»"},
        {"--from 9999-06 --months 12", "месяцы календаря выходят за 1000..9999 годы"},
        {"--quarterly -y 9999", "выходят за 1000..9999"},
        {"--quarterly -y 1000 -m 1", "выходят за 1000..9999"},
        {"--from 2027-01 -m 3", "--from и -m не задаются вместе"},
        {"--from 2027-01 -y 2027", "--from и -y не задаются вместе"},
        {"--quarterly --per-page 1", "--quarterly и --per-page не задаются вместе"},
        {"--quarterly -r 1", "--quarterly и -r не задаются вместе"},
        {"-r 5", "1, 2, 3, 4 или 6"},
        {"--month-titles middle", "--month-titles должно быть left, centre или right"},
        {"--title-gap 1.5", "--title-gap должно быть целым числом"},
    };
    for (const auto &[args, fragment] : bad) {
        const QStringList arguments = split(args);
        EXPECT_TRUE(std::holds_alternative<QString>(renderViewOf(arguments))) << args;
        QString out;
        QString err;
        EXPECT_EQ(run(arguments, out, err, app.path()), RenderUsage) << args;
        EXPECT_TRUE(err.startsWith(QStringLiteral("vexilo-render: ")) &&
                    err.endsWith(QStringLiteral(". Подробнее: vexilo-render --help\n")) &&
                    err.contains(QString::fromUtf8(fragment)))
            << args << ": " << err.toStdString();
        EXPECT_TRUE(out.isEmpty()) << args;
    }
    EXPECT_TRUE(QDir(app.path()).entryList(QDir::Files).isEmpty());
    QDir::setCurrent(before);
}

TEST(ViewOptions, EveryShownYearTakesItsOwnHolidaysAndTheCalendarFilesDays)
{
    TempAppFolder app;
    const QString set = app.path() + QStringLiteral("set/");
    QDir().mkpath(set);
    QImage digit(6, 9, QImage::Format_RGB32);
    digit.fill(Qt::darkBlue);
    QImage weekday(12, 9, QImage::Format_RGB32);
    weekday.fill(Qt::darkGreen);
    for (int d = 0; d < 10; ++d)
        digit.save(set + digitFileName(d), "PNG");
    for (const QString &name : weekdayFileNames())
        weekday.save(set + name, "PNG");
    // A Tuesday in January of the period's second year.
    app.write(QStringLiteral("jan.ics"),
              QByteArrayLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\n"
                                "DTSTART;VALUE=DATE:20270112\r\nSUMMARY:x\r\nEND:VEVENT\r\n"
                                "END:VCALENDAR\r\n"));

    const auto render = [&](const QString &name, const QStringList &more, QString &err) {
        QString out;
        QStringList args = split("-r 2 --from 2026-12 --months 2 -g");
        args << set << QStringLiteral("-o") << app.file(name) << more;
        return run(args, out, err, app.path());
    };
    QString err;
    ASSERT_EQ(render(QStringLiteral("plain"), {}, err), RenderOk) << err.toStdString();
    // Neither year is in the (absent) holiday file: each is made from its defaults and said.
    EXPECT_EQ(err, QStringLiteral("Праздников 2026 года нет: взяты выходные и праздники нового "
                                  "года.\nПраздников 2027 года нет: взяты выходные и праздники "
                                  "нового года.\n"));
    err.clear();
    ASSERT_EQ(render(QStringLiteral("marked"),
                     {QStringLiteral("--ics"), app.file(QStringLiteral("jan.ics"))}, err),
              RenderOk);
    QFile plain(app.file(QStringLiteral("plain.bmp")));
    QFile marked(app.file(QStringLiteral("marked.bmp")));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly) && marked.open(QIODevice::ReadOnly));
    // 12 January 2027 turns red: the file's day reaches the period's second year.
    EXPECT_NE(plain.readAll(), marked.readAll());
}
