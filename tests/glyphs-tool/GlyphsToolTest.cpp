// vexilo-glyphs as scripts run it, and in-process where a fault must be injected.
#include "glyphs-tool/GlyphsCommand.h"

#include "common/BatchJournal.h"
#include "common/FileSteps.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/maker/GlyphMaker.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <cerrno>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

struct ToolRun
{
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString &program, const QStringList &args, const QString &workingFolder = {},
                const QByteArray &home = {})
{
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    if (!home.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromLocal8Bit(home));
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(VEXILO_APP_DIR "/") + program, args);
    ToolRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

TEST(GlyphsTool, ASetFromAFontIsDrawnByTheRenderer)
{
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("dejavu"));
    const ToolRun made =
        runTool(QStringLiteral("vexilo-glyphs"),
                {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"), QStringLiteral("--size"),
                 QStringLiteral("40"), QStringLiteral("-o"), folder});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const GlyphLoad set = loadGlyphSet(folder + QLatin1Char('/'), 0);
    ASSERT_TRUE(set.complete);
    for (const QImage &image : set.digits)
        EXPECT_EQ(image.size(), set.digits[0].size());
    for (const QImage &image : set.weekdays)
        EXPECT_EQ(image.size(), set.weekdays[0].size());
    EXPECT_EQ(set.digits[0].height(), set.weekdays[0].height());

    const ToolRun drawn =
        runTool(QStringLiteral("vexilo-render"),
                {QStringLiteral("-g"), folder, QStringLiteral("-y"), QStringLiteral("2027"),
                 QStringLiteral("-o"), app.file(QStringLiteral("sheet"))});
    EXPECT_EQ(drawn.status, 0) << drawn.err.toStdString();
    EXPECT_FALSE(QImage(app.file(QStringLiteral("sheet_ряд1.bmp"))).isNull());
}

TEST(GlyphsTool, AnUnknownFontOrAnExistingFolderFailsAndTouchesNothing)
{
    TempAppFolder app;
    const ToolRun unknown = runTool(QStringLiteral("vexilo-glyphs"),
                                    {QStringLiteral("--font"), QStringLiteral("Нет Такого"),
                                     QStringLiteral("-o"), app.file(QStringLiteral("x"))});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("«Нет Такого»")));
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("x"))));

    app.makeFolder(QStringLiteral("set"));
    app.write(QStringLiteral("set/0.gif"), "mine");
    const QStringList args = {QStringLiteral("--font"),       QStringLiteral("dejavu sans"),
                              QStringLiteral("--bold"),       QStringLiteral("--color"),
                              QStringLiteral("#336699"),      QStringLiteral("-o"),
                              app.file(QStringLiteral("set"))};
    const ToolRun refused = runTool(QStringLiteral("vexilo-glyphs"), args);
    EXPECT_NE(refused.status, 0);
    EXPECT_EQ(app.read(QStringLiteral("set/0.gif")), QByteArray("mine"));
    const ToolRun forced = runTool(QStringLiteral("vexilo-glyphs"), args + QStringList{"--force"});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_TRUE(loadGlyphSet(app.file(QStringLiteral("set/")), 0).complete);

    const ToolRun version = runTool(QStringLiteral("vexilo-glyphs"), {QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("vexilo-glyphs ")));
}

TEST(GlyphsTool, WithSvgTheSetIsTwentyNineOutlineFilesAndForceReplacesThem)
{
    TempAppFolder app;
    const QStringList args = {QStringLiteral("--font"), QStringLiteral("Liberation Serif"),
                              QStringLiteral("--svg"), QStringLiteral("-o"),
                              app.file(QStringLiteral("P"))};
    const ToolRun made = runTool(QStringLiteral("vexilo-glyphs"), args);
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(QStringLiteral("SVG"))) << made.out.toStdString();
    const QStringList names = madeGlyphFileNames(MadeGlyphFiles::Svg);
    EXPECT_EQ(QDir(app.file(QStringLiteral("P"))).entryList(QDir::Files).size(), 29);
    for (const QString &name : names) {
        const QByteArray svg = app.read(QStringLiteral("P/") + name);
        EXPECT_TRUE(svg.contains("<path")) << name.toStdString();
        EXPECT_FALSE(svg.contains("<text")) << name.toStdString();
    }
    const QByteArray five = app.read(QStringLiteral("P/5.svg"));
    const ToolRun forced =
        runTool(QStringLiteral("vexilo-glyphs"),
                args + QStringList{QStringLiteral("--force"), QStringLiteral("--size"),
                                   QStringLiteral("60")});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_NE(app.read(QStringLiteral("P/5.svg")), five);
    EXPECT_EQ(QDir(app.file(QStringLiteral("P"))).entryList(QDir::Files), [&] {
        QStringList sorted = names;
        sorted.sort();
        return sorted;
    }());
}

namespace {

// The name and content of every file under a folder, hidden ones included.
std::map<QString, QByteArray> filesUnder(const QString &folder)
{
    std::map<QString, QByteArray> files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir()) {
            for (const auto &[name, content] : filesUnder(entry.absoluteFilePath()))
                files[entry.fileName() + u'/' + name] = content;
            continue;
        }
        QFile file(entry.absoluteFilePath());
        files[entry.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : "?";
    }
    return files;
}

} // namespace

TEST(GlyphsTool, TheTwentyNineFilesLoadBackWithTheirTitlesAndReplaceASetWithout)
{
    struct Case
    {
        const char *what;
        QStringList options;
        MadeGlyphFiles kind;
    };
    TempAppFolder app;
    std::map<QString, int> januaryWidth;
    for (const Case &c :
         {Case{"GIF", {}, MadeGlyphFiles::Gif},
          Case{"GIF in capitals", {QStringLiteral("--capitals")}, MadeGlyphFiles::Gif},
          Case{"SVG in capitals",
               {QStringLiteral("--capitals"), QStringLiteral("--svg")},
               MadeGlyphFiles::Svg}}) {
        SCOPED_TRACE(c.what);
        const QString folder = app.file(QString::fromLatin1(c.what));
        // A set of the seventeen files of an older version is replaced whole.
        const QStringList names = madeGlyphFileNames(c.kind);
        for (const QString &name : names.mid(0, 17))
            app.write(QString::fromLatin1(c.what) + u'/' + name, "old");
        const ToolRun made =
            runTool(QStringLiteral("vexilo-glyphs"),
                    QStringList{QStringLiteral("--font"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("-o"), folder, QStringLiteral("--force")} +
                        c.options);
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 29);
        const GlyphLoad set = loadGlyphSet(folder + u'/', 0);
        ASSERT_TRUE(set.complete);
        EXPECT_EQ(set.set->missingTitle, QString());
        for (const QImage &title : set.set->monthTitles) {
            ASSERT_FALSE(title.isNull());
            EXPECT_EQ(title.height(), set.set->monthTitles[0].height());
        }
        // «Май» is narrower than «Сентябрь», each title as wide as its own lettering.
        EXPECT_LT(set.set->monthTitles[4].width(), set.set->monthTitles[8].width());
        januaryWidth[QString::fromLatin1(c.what)] = set.set->monthTitles[0].width();
    }
    EXPECT_GT(januaryWidth[QStringLiteral("GIF in capitals")], januaryWidth[QStringLiteral("GIF")]);
    const ToolRun help = runTool(QStringLiteral("vexilo-glyphs"), {QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("--capitals"))) << help.out.toStdString();
}

TEST(GlyphsTool, ForceNeverReplacesAFolderHoldingAnythingButAGlyphSet)
{
    struct Case
    {
        const char *what;
        QStringList files; // in "P"
        QString out;       // the -o given, from the working folder
        QString working;   // relative to the test folder
        bool homeIsP;
        QString named; // in the message
        bool svg;      // writes the set as SVG
    };
    const QStringList pictures = {"a.jpg", "b.png", "c.bmp", "d.GIF"};
    const QStringList setAndCover = {"0.gif", "1.gif", "Пн.gif", "cover.jpg"};
    const QStringList svgSet = {"0.svg", "5.svg", "Вс.svg"};
    const Case cases[] = {
        {"pictures only", pictures, "P", "", false, "a.jpg", false},
        {"the folder it runs in", pictures, ".", "P", false, "a.jpg", false},
        {"a path through its parent", pictures, "P/../P", "", false, "a.jpg", false},
        {"a set and its cover", setAndCover, "P", "", false, "cover.jpg", false},
        {"the home folder", {"0.gif", "Вс.gif"}, "P", "", true, "домашняя", false},
        // A set of the other kind would leave two sets in one folder.
        {"SVG over a GIF set", {"0.gif", "Вс.gif"}, "P", "", false, "«0.gif»", true},
        {"GIF over an SVG set", svgSet, "P", "", false, "«0.svg»", false},
        {"SVG over pictures", pictures, "P", "", false, "a.jpg", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder app;
        for (const QString &name : c.files)
            app.write(QStringLiteral("P/") + name, name.toUtf8());
        const auto before = filesUnder(app.path());
        const ToolRun run = runTool(
            QStringLiteral("vexilo-glyphs"),
            QStringList{QStringLiteral("--font"), QStringLiteral("DejaVu Sans"),
                        QStringLiteral("--force"), QStringLiteral("-o"), c.out} +
                (c.svg ? QStringList{QStringLiteral("--svg")} : QStringList{}),
            app.file(c.working), c.homeIsP ? QFile::encodeName(app.file(QStringLiteral("P"))) : "");
        EXPECT_EQ(run.status, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.named)) << run.err.toStdString();
        EXPECT_EQ(filesUnder(app.path()), before);
    }
}

TEST(GlyphsTool, AWriteThatFailsKeepsTheOldSetAndExitsWithOne)
{
    TempAppFolder app;
    const QStringList args = {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("--force"), QStringLiteral("-o"),
                              app.file(QStringLiteral("P"))};
    ASSERT_EQ(runTool(QStringLiteral("vexilo-glyphs"), args).status, 0);
    // A glyph nobody may write stays as it is, even for root, and so does the whole set.
    ASSERT_EQ(::chmod(QFile::encodeName(app.file(QStringLiteral("P/Сб.gif"))).constData(), 0444),
              0);
    const auto before = filesUnder(app.path());
    const ToolRun run = runTool(QStringLiteral("vexilo-glyphs"),
                                args + QStringList{QStringLiteral("--size"), QStringLiteral("50")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Сб.gif"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(filesUnder(app.path()), before);

    // The disk fills while the new set is written: in-process, where the fault can be injected.
    ASSERT_EQ(::chmod(QFile::encodeName(app.file(QStringLiteral("P/Сб.gif"))).constData(), 0644),
              0);
    const auto whole = filesUnder(app.path());
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = runGlyphs(QStringList{QStringLiteral("vexilo-glyphs")} + args +
                                     QStringList{QStringLiteral("--size"), QStringLiteral("50")},
                                 outStream, errStream,
                                 {Durability::Synced, failAt(SafeWriteStage::Write, ENOSPC)});
    outStream.flush();
    errStream.flush();
    EXPECT_EQ(status, GlyphsFailed);
    EXPECT_TRUE(err.contains(QStringLiteral("места"))) << err.toStdString();
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    EXPECT_EQ(filesUnder(app.path()), whole);
}

TEST(GlyphsTool, AColourOtherThanSixHexDigitsOrAnEmptyFolderIsAUsageError)
{
    TempAppFolder app;
    for (const char *color : {"#ff00ff\n", "#ff00ff ", " #ff00ff", "#ff00ff\r"}) {
        const ToolRun run = runTool(QStringLiteral("vexilo-glyphs"),
                                    {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"),
                                     QStringLiteral("--color"), QString::fromLatin1(color),
                                     QStringLiteral("-o"), app.file(QStringLiteral("P"))});
        EXPECT_EQ(run.status, 2) << color;
        EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("P"))));
    }
    // Nor is an empty folder name taken for the folder it runs in.
    const ToolRun empty = runTool(
        QStringLiteral("vexilo-glyphs"),
        {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"), QStringLiteral("-o"), QString()},
        app.path());
    EXPECT_EQ(empty.status, 2);
}

// A killed --force leaves the program's own temporaries and journal; the next one takes them
// for what they are and goes on. While another copy writes the set, --force says so.
TEST(GlyphsTool, ForceAfterAKilledOneGoesOnAndTheLoserOfTwoSaysAnotherCopyWrites)
{
    TempAppFolder app;
    const QString set = app.file(QStringLiteral("P"));
    const QStringList args = {QStringLiteral("--font"), QStringLiteral("Liberation Serif"),
                              QStringLiteral("-o"), set, QStringLiteral("--force")};
    ASSERT_EQ(runTool(QStringLiteral("vexilo-glyphs"), args).status, 0);
    // As a run killed between its renames leaves them: young temporaries and the journal.
    std::vector<batchjournal::JournalEntry> entries;
    for (const QString &name : {QStringLiteral("0.gif"), QStringLiteral("1.gif")}) {
        QString temporary;
        const int fd = filesteps::createTemporary(set, temporary);
        ASSERT_GE(fd, 0);
        ::close(fd);
        entries.push_back(*batchjournal::describeRename(temporary, set + u'/' + name));
    }
    app.write(QStringLiteral("P/") + QLatin1String(batchjournal::kJournalName),
              batchjournal::journalContent(entries));
    const ToolRun forced = runTool(QStringLiteral("vexilo-glyphs"), args);
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_EQ(QDir(set).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
              29);
    EXPECT_FALSE(app.read(QStringLiteral("P/0.gif")).isEmpty());

    // The winner holds the lock and is writing its temporaries.
    const batchjournal::FolderLock writing(set);
    QString temporary;
    const int fd = filesteps::createTemporary(set, temporary);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const std::map<QString, QByteArray> before = filesUnder(set);
    const ToolRun loser = runTool(QStringLiteral("vexilo-glyphs"), args);
    EXPECT_EQ(loser.status, 1);
    EXPECT_TRUE(loser.err.contains(batchjournal::busyFolderMessage(set)))
        << loser.err.toStdString();
    EXPECT_EQ(filesUnder(set), before);
}
