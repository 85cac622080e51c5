// Kills a process in the middle of exporting a year as three BMP rows and checks that what the
// next export does first leaves the rows one set: all from the same export, none damaged.
#include "common/SafeFile.h"
#include "common/SaveChecks.h"
#include "compose/output/ImageFiles.h"

#include "support/TempAppFolder.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include <signal.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

int rounds()
{
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("VEXILO_KILL_ROUNDS", &ok);
    return ok && wanted > 0 ? wanted : 60;
}

QStringList rowFiles(const TempAppFolder &app)
{
    return exportFileNames(app.file(QStringLiteral("k.bmp")), QStringLiteral("/"), 2);
}

// Which export each row comes from by its colour (see the stress child): 0, 1, or -1 for a
// row that is missing, damaged or of neither.
std::vector<int> rowExports(const TempAppFolder &app)
{
    std::vector<int> exports;
    for (const QString &row : rowFiles(app)) {
        const QImage image(row, "bmp");
        const QRgb pixel = image.isNull() ? 0 : image.pixel(image.width() - 1, image.height() - 1);
        exports.push_back(pixel == qRgb(200, 0, 0) ? 0 : pixel == qRgb(0, 0, 200) ? 1 : -1);
    }
    return exports;
}

QStringList ourLeftovers(const TempAppFolder &app)
{
    return QDir(app.path())
        .entryList({QStringLiteral(".vexilo-*")}, QDir::Files | QDir::Hidden | QDir::System,
                   QDir::Name);
}

// The stress child's export of `content`, killed before rename `killAt` (0: not killed).
bool runExport(const TempAppFolder &app, int content, int killAt)
{
    QProcess child;
    child.start(QStringLiteral(VEXILO_TOOLS_DIR "/vexilo_save_stress"),
                {QStringLiteral("--export"), app.path(), QString::number(content),
                 QString::number(killAt)});
    if (!child.waitForFinished(30000))
        return false;
    return killAt == 0 ? child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
                       : child.exitStatus() == QProcess::CrashExit;
}

} // namespace

TEST(SheetExportCrash, AnExportKilledAtItsSecondRenameIsCompletedBeforeTheNextOne)
{
    // What runs before the next export: the check of its folder, or the commit of another
    // batch into that folder.
    const struct
    {
        const char *next;
        std::function<bool(const TempAppFolder &)> run;
    } nexts[] = {
        {"check",
         [](const TempAppFolder &app) {
             return !outputFolderProblem(app.file(QStringLiteral("другой.bmp"))).has_value();
         }},
        {"commit",
         [](const TempAppFolder &app) {
             SafeFileBatch batch;
             for (const char *name : {"a.txt", "b.txt"})
                 if (!batch
                          .stage(app.file(QString::fromLatin1(name)),
                                 [](QIODevice &out) { return out.write("x") == 1; })
                          .ok)
                     return false;
             return batch.commit().ok;
         }},
    };
    for (const auto &next : nexts) {
        TempAppFolder app;
        ASSERT_TRUE(runExport(app, 0, 0));
        ASSERT_EQ(rowExports(app), (std::vector<int>{0, 0, 0}));
        ASSERT_TRUE(runExport(app, 1, 2)) << next.next;
        // Killed with one row in place: the others wait beside it, named in the journal.
        EXPECT_EQ(rowExports(app), (std::vector<int>{1, 0, 0})) << next.next;

        ASSERT_TRUE(next.run(app)) << next.next;
        EXPECT_EQ(rowExports(app), (std::vector<int>{1, 1, 1})) << next.next;
        const QStringList left = ourLeftovers(app);
        EXPECT_TRUE(left.isEmpty()) << next.next << ": " << left.join(u' ').toStdString();
    }
}

TEST(SheetExportCrash, AnExportKilledAtAnyStepLeavesTheOldRowsOrTheNewOnes)
{
    // Killed while its rows are staged, the export leaves the old rows; killed at any of its
    // renames, the journal already names all three and the next check puts the new ones in.
    std::vector<QByteArray> stages;
    for (int step = 1; step < 100; ++step) {
        TempAppFolder app;
        ASSERT_TRUE(runExport(app, 0, 0));
        QProcess child;
        child.start(QStringLiteral(VEXILO_TOOLS_DIR "/vexilo_save_stress"),
                    {QStringLiteral("--export"), app.path(), QStringLiteral("1"),
                     QStringLiteral("step:%1").arg(step)});
        ASSERT_TRUE(child.waitForFinished(30000));
        const QByteArray stage = child.readAllStandardOutput().trimmed();
        const bool finished = child.exitStatus() == QProcess::NormalExit;
        ASSERT_EQ(finished, stage.isEmpty()) << "step " << step;
        ASSERT_EQ(outputFolderProblem(rowFiles(app).front()), std::nullopt);
        const int expected = finished || stage == "rename" ? 1 : 0;
        EXPECT_EQ(rowExports(app), std::vector<int>(3, expected))
            << "step " << step << " (" << stage.toStdString() << ")";
        if (finished)
            break;
        stages.push_back(stage);
    }
    // Both kinds of step were reached: the staging of the rows, and one rename per row.
    ASSERT_FALSE(stages.empty());
    EXPECT_NE(stages.front(), QByteArray("rename"));
    EXPECT_EQ(std::count(stages.begin(), stages.end(), QByteArray("rename")), 3);
}

TEST(SheetExportCrash, RowsAreOneExportsWhateverMomentTheProcessDies)
{
    TempAppFolder app;
    std::set<std::vector<int>> seen;
    for (int round = 0; round < rounds(); ++round) {
        QProcess child;
        child.start(
            QStringLiteral(VEXILO_TOOLS_DIR "/vexilo_save_stress"),
            {QStringLiteral("--export"), app.path(), QStringLiteral("loop"), QStringLiteral("0")});
        ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
        // The child measured its first export: the kills are spread evenly over the two that
        // follow, on a busy machine as on an idle one, so that they land between and inside
        // the steps the test above stops at.
        const QList<QByteArray> ready = child.readLine().trimmed().split(' ');
        ASSERT_EQ(ready.size(), 2);
        ASSERT_EQ(ready.front(), QByteArray("ready"));
        const qint64 oneExport = ready.back().toLongLong();
        QThread::usleep(static_cast<unsigned long>(2 * oneExport * round / rounds()));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

        ASSERT_EQ(outputFolderProblem(rowFiles(app).front()), std::nullopt);
        const std::vector<int> rows = rowExports(app);
        ASSERT_TRUE(rows == std::vector<int>(3, 0) || rows == std::vector<int>(3, 1))
            << "round " << round << ": " << rows[0] << rows[1] << rows[2];
        seen.insert(rows);
    }
    // Which of the two exports each kill left depends on the machine's load, so it is reported,
    // not asserted; the test above sees both, step by step.
    std::printf("[          ] rows of export 0 seen %s, of export 1 %s\n",
                seen.count(std::vector<int>(3, 0)) ? "yes" : "no",
                seen.count(std::vector<int>(3, 1)) ? "yes" : "no");
}
