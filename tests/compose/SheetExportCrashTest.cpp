// Kills a process in the middle of exporting a year as three BMP rows and checks that what the
// next export does first leaves the rows one set: all from the same export, none damaged.
#include "common/SafeFile.h"
#include "common/SaveChecks.h"
#include "compose/ImageFiles.h"

#include "support/TempAppFolder.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

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

TEST(SheetExportCrash, RowsAreOneExportsWhateverMomentTheProcessDies)
{
    TempAppFolder app;
    ASSERT_TRUE(runExport(app, 0, 0));
    std::set<std::vector<int>> seen;
    for (int round = 0; round < rounds(); ++round) {
        QProcess child;
        child.start(
            QStringLiteral(VEXILO_TOOLS_DIR "/vexilo_save_stress"),
            {QStringLiteral("--export"), app.path(), QStringLiteral("loop"), QStringLiteral("0")});
        ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
        QThread::usleep(QRandomGenerator::global()->bounded(30000u));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

        ASSERT_EQ(outputFolderProblem(rowFiles(app).front()), std::nullopt);
        const std::vector<int> rows = rowExports(app);
        ASSERT_TRUE(rows == std::vector<int>(3, 0) || rows == std::vector<int>(3, 1))
            << "round " << round << ": " << rows[0] << rows[1] << rows[2];
        seen.insert(rows);
    }
    // The kills landed at different moments: both exports were seen.
    EXPECT_EQ(seen.size(), 2u);
}
