// The real vexilo-render on damaged glyph sets, absurd spacings and years, and damaged holiday
// files: every case ends with its exit status and its one message, never with a crash.
#include "compose/GlyphFiles.h"
#include "support/BadInputCorpus.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

using namespace vexilo::test;

namespace {

const QString kLoadFailed = QStringLiteral("Произошла ошибка при загрузке картинок.");
const QString kNoYear = QStringLiteral("Не зачем вам календарь этого года.");
const QString kTooLarge =
    QStringLiteral("Календарь получается слишком большим. Уменьшите расстояния.");
const QString kEmpty = QStringLiteral("Календарь с такими расстояниями нарисовать нельзя.");

// 2013 with 1, 2 and 7 January and 8 March.
const QByteArray kHolidays = "0\r\n2013\r\n3,1,2,7\r\n0\r\n1,8\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                             "0\r\n0\r\n0\r\n\r\n";

struct ProcessRun
{
    bool finished = false;
    int status = -1;
    QStringList out; // lines
    QString err;
};

ProcessRun runRenderer(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VEXILO_APP_DIR "/vexilo-render"), args);
    ProcessRun run;
    run.finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput())
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return run;
}

QStringList picturesIn(const TempAppFolder &app)
{
    return QDir(app.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files);
}

// A small good set and the holidays of 2013; arguments for drawing 2013 from them into "out".
struct Sheet
{
    Sheet()
    {
        writeGlyphSet(app, QStringLiteral("set"), 1, {4, 6}, {9, 6});
        app.write(QStringLiteral("Праздники.dat"), kHolidays);
    }

    QStringList args(const QStringList &more) const
    {
        return QStringList{QStringLiteral("-g"),         app.file(glyphs),
                           QStringLiteral("--holidays"), app.file(QStringLiteral("Праздники.dat")),
                           QStringLiteral("-y"),         QStringLiteral("2013"),
                           QStringLiteral("-r"),         QStringLiteral("4"),
                           QStringLiteral("-o"),         app.file(QStringLiteral("out"))} +
               more;
    }

    TempAppFolder app;
    QString glyphs = QStringLiteral("set");
};

} // namespace

TEST(BadInputRender, DamagedOrMissingGlyphsExitWithOneAndTheLoadMessageWritingNothing)
{
    for (const BadGlyphCase &c : badGlyphCases()) {
        SCOPED_TRACE(c.glyph.toStdString() + ": " + c.what);
        Sheet sheet;
        sheet.glyphs = QStringLiteral("bad");
        writeBadGlyphSet(sheet.app, sheet.glyphs, c);
        const ProcessRun run = runRenderer(sheet.args({}));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 1);
        // The window's message, then the file that stopped the load.
        const QStringList lines = run.err.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
        EXPECT_EQ(lines[0], kLoadFailed);
        EXPECT_TRUE(lines[1].contains(sheet.app.file(sheet.glyphs) + QLatin1Char('/') + c.glyph))
            << lines[1].toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(picturesIn(sheet.app).isEmpty());
    }
}

TEST(BadInputRender, GlyphsOfWildlyDifferentSizesDrawTheSheetThatZeroAndMondayLayOut)
{
    Sheet sheet;
    sheet.glyphs = QStringLiteral("mixed");
    writeMixedSizeSet(sheet.app, sheet.glyphs);
    const ProcessRun run = runRenderer(sheet.args({}));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    // Sums as in the window's test of the same set: three canvases of 1250 x 37.
    ASSERT_EQ(run.out.size(), 4);
    EXPECT_EQ(run.out[3], QStringLiteral("Размер: 1251x151"));
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(QImage(sheet.app.file(QStringLiteral("out_ряд%1.bmp").arg(row))).size(),
                  QSize(1250, 37));
}

TEST(BadInputRender, YearsAndSpacingsAtThe32BitLimitsAreRefusedWithTheirMessage)
{
    struct Case
    {
        QStringList args;
        int status;
        QString err;
    };
    // Digits 4 x 6 and weekday names 9 wide; the design spacings 10, 5, 20, 20, 3 where a case
    // sets no other. Each size follows from the sheet's sums, which leave 32 bits long before
    // 32767 pixels would stop them.
    const std::vector<Case> cases = {
        {{"-y", "2147483647"}, 1, kNoYear},
        {{"-y", "-2147483648"}, 1, kNoYear},
        {{"-y", "9223372036854775807"}, 1, kNoYear},
        {{"--dates-x", "2147483647"}, 1, kTooLarge},
        {{"--dates-x", "2147483648"}, 1, kTooLarge},
        {{"--dates-x", "-2147483648"}, 1, kTooLarge},
        {{"--dates-y", "2147483647"}, 1, kTooLarge},
        {{"--dates-y", "-2147483648"}, 1, kTooLarge},
        {{"--months-x", "2147483647"}, 1, kTooLarge},
        {{"--months-x", "-2147483648"}, 1, kTooLarge},
        {{"--months-y", "2147483647"}, 1, kTooLarge},
        {{"--months-y", "-2147483648"}, 1, kTooLarge},
        {{"--digits-x", "2147483647"}, 1, kTooLarge},
        {{"--digits-x", "-2147483648"}, 1, kTooLarge},
        // Row pitch 6 - 12 = -6, canvas height 7 * -6 + 12 = -30.
        {{"--dates-y", "-12"}, 1, kEmpty},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        Sheet sheet;
        const ProcessRun run = runRenderer(sheet.args(c.args));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_TRUE(picturesIn(sheet.app).isEmpty());
    }

    Sheet sheet;
    const ProcessRun beyond = runRenderer(sheet.args({"-y", "9223372036854775808"}));
    ASSERT_TRUE(beyond.finished);
    EXPECT_EQ(beyond.status, 2);
    EXPECT_TRUE(beyond.err.contains(QStringLiteral("--help")));
}

TEST(BadInputRender, ExtremeSpacingsThatStillFitDrawClippedSheets)
{
    // A month sheet has no gap between rows of months: the largest one changes nothing.
    // Row pitch 6 + 5, height 7 * 11 - 5 = 72; left offset 9 + 20 = 29, column step 8 + 10,
    // month width 6 * (18 + 3) - 10 = 116, width 29 + 116 = 145.
    {
        Sheet sheet;
        const ProcessRun run = runRenderer(sheet.args({"-m", "1", "--months-y", "2147483647"}));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        ASSERT_EQ(run.out.size(), 2);
        EXPECT_EQ(run.out[1], QStringLiteral("Размер: 146x72"));
        EXPECT_EQ(QImage(sheet.app.file(QStringLiteral("out.bmp"))).size(), QSize(145, 72));
    }
    // "Месяцы X" of -29 puts the months 20 pixels left of the canvas: right column
    // 4 * 116 + 2 * (9 - 29) - 10 = 414, width 9 + 414 = 423; total 72 + 2 * (20 + 72) = 256.
    {
        Sheet sheet;
        const ProcessRun run = runRenderer(sheet.args({"--months-x", "-29"}));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        ASSERT_EQ(run.out.size(), 4);
        EXPECT_EQ(run.out[3], QStringLiteral("Размер: 424x256"));
        EXPECT_EQ(QImage(sheet.app.file(QStringLiteral("out_ряд1.bmp"))).size(), QSize(423, 72));
    }
}

TEST(BadInputRender, DamagedHolidayFilesDrawWithWhatTheyHold)
{
    struct Case
    {
        QString file;
        bool partly; // the renderer says the file was not read whole
        QString err;
    };
    const QString noYear =
        QStringLiteral("Праздников 2013 года нет: взяты выходные и праздники нового года.");
    const std::vector<Case> cases = {
        // Nothing readable: the year's defaults, and the renderer says so.
        {QStringLiteral("binary.dat"), true, noYear},
        {QStringLiteral("empty.dat"), false, noYear},
        // 2013 is there, with days out of range skipped.
        {QStringLiteral("days-out-of-range.dat"), false, QString()},
        {QStringLiteral("huge-month-count.dat"), true, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        Sheet sheet;
        sheet.app.write(QStringLiteral("Праздники.dat"),
                        corpusFile(QStringLiteral("holidays"), c.file));
        const ProcessRun run = runRenderer(sheet.args({}));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 0);
        QStringList expected;
        if (c.partly)
            expected << QStringLiteral("Файл праздников «%1» прочитан не полностью.")
                            .arg(sheet.app.file(QStringLiteral("Праздники.dat")));
        if (!c.err.isEmpty())
            expected << c.err;
        EXPECT_EQ(run.err, expected.join(u'\n'));
        EXPECT_EQ(run.out.size(), 4);
    }
}
