#include "common/SafeFile.h"
#include "common/SaveChecks.h"

#include "common/FileSteps.h"

#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

QStringList filesIn(const TempAppFolder &app)
{
    return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

ino_t inodeOf(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(SafeFile, ReplacesTheWholeFileAndLeavesNoTemporaryBehind)
{
    TempAppFolder app;
    app.write(QStringLiteral("x.dat"), "old content that is longer");
    const SafeWriteResult result = writeFileSafely(app.file(QStringLiteral("x.dat")), "new");
    ASSERT_TRUE(result.ok) << result.errorString.toStdString();
    EXPECT_EQ(app.read(QStringLiteral("x.dat")), QByteArray("new"));
    EXPECT_EQ(filesIn(app), QStringList{QStringLiteral("x.dat")});
}

TEST(SafeFile, TheReplacedFileKeepsItsPermissions)
{
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("x.dat"));
    app.write(QStringLiteral("x.dat"), "old");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                             QFile::ReadOther | QFile::ReadUser | QFile::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
    ASSERT_TRUE(writeFileSafely(path, "new").ok);
    EXPECT_EQ(QFile::permissions(path), permissions);
    // A new file is readable by others, not the private mode of a temporary file.
    ASSERT_TRUE(writeFileSafely(app.file(QStringLiteral("y.dat")), "y").ok);
    EXPECT_TRUE(QFile::permissions(app.file(QStringLiteral("y.dat"))) & QFile::ReadOther);
}

TEST(SafeFile, AFolderInTheWayOrAMissingFolderFailsAsNotSaveable)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("taken"));
    SafeWriteResult result = writeFileSafely(app.file(QStringLiteral("taken")), "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.writeProtected);
    EXPECT_FALSE(result.errorString.isEmpty());

    result = writeFileSafely(app.file(QStringLiteral("missing/x.dat")), "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.writeProtected);
}

TEST(SafeFile, FailedWriteOrRenameKeepsTheOldFile)
{
    TempAppFolder app;
    app.write(QStringLiteral("x.dat"), "old");
    for (const SafeWriteStage stage : {SafeWriteStage::Write, SafeWriteStage::Rename}) {
        const SafeWriteResult result =
            writeFileSafely(app.file(QStringLiteral("x.dat")), "brand new content",
                            {Durability::Synced, failAt(stage, ENOSPC)});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.writeProtected);
        EXPECT_EQ(result.errorString, QStringLiteral("На диске не осталось свободного места."));
        EXPECT_EQ(app.read(QStringLiteral("x.dat")), QByteArray("old"));
        EXPECT_EQ(filesIn(app), QStringList{QStringLiteral("x.dat")});
    }
}

TEST(SafeFile, PermissionAndReadOnlyErrorsCountAsWriteProtected)
{
    EXPECT_TRUE(isWriteProtectedError(EACCES));
    EXPECT_TRUE(isWriteProtectedError(EPERM));
    EXPECT_TRUE(isWriteProtectedError(EROFS));
    EXPECT_FALSE(isWriteProtectedError(ENOSPC));
    EXPECT_FALSE(isWriteProtectedError(ENOENT));

    TempAppFolder app;
    const SafeWriteResult result = writeFileSafely(app.file(QStringLiteral("x.dat")), "x",
                                                   {Durability::Synced, failOpening(EROFS)});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.writeProtected);

    // No write bit for anyone: write-protected, whoever runs the save, root included.
    app.write(QStringLiteral("ro.dat"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(app.file(QStringLiteral("ro.dat"))).constData(), 0444), 0);
    const SafeWriteResult readOnly = writeFileSafely(app.file(QStringLiteral("ro.dat")), "new");
    EXPECT_FALSE(readOnly.ok);
    EXPECT_TRUE(readOnly.writeProtected);
    EXPECT_EQ(app.read(QStringLiteral("ro.dat")), QByteArray("old"));
}

TEST(SafeFile, SymbolicLinksAreFollowedAndStayLinks)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("real"));
    app.write(QStringLiteral("real/x.dat"), "old");
    const struct
    {
        const char *link;
        QString target;
    } links[] = {
        {"relative.dat", QStringLiteral("real/x.dat")},
        {"absolute.dat", app.file(QStringLiteral("real/x.dat"))},
        {"chain.dat", QStringLiteral("relative.dat")},
        {"dangling.dat", QStringLiteral("real/new.dat")},
    };
    for (const auto &l : links) {
        const QString link = app.file(QString::fromUtf8(l.link));
        ASSERT_EQ(
            ::symlink(QFile::encodeName(l.target).constData(), QFile::encodeName(link).constData()),
            0);
        const QByteArray content = QByteArray("through ") + l.link;
        ASSERT_TRUE(writeFileSafely(link, content).ok) << l.link;
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << l.link;
        EXPECT_EQ(app.read(QString::fromUtf8(l.link)), content) << l.link;
    }
    EXPECT_EQ(app.read(QStringLiteral("real/x.dat")), QByteArray("through chain.dat"));
    EXPECT_EQ(app.read(QStringLiteral("real/new.dat")), QByteArray("through dangling.dat"));

    // A loop of links is refused with a message of its own.
    ASSERT_EQ(::symlink("loop.dat", QFile::encodeName(app.file(QStringLiteral("loop.dat")))), 0);
    const SafeWriteResult loop = writeFileSafely(app.file(QStringLiteral("loop.dat")), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_EQ(loop.errorString, QStringLiteral("Символические ссылки образуют петлю."));
}

TEST(SafeFile, APipeIsNeverOpenedNorReplaced)
{
    TempAppFolder app;
    const QString fifo = app.file(QStringLiteral("pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    // Not even when the folder takes no new file and the file would be written in place.
    for (const SafeWriteHook &hook :
         {SafeWriteHook{}, failAt(SafeWriteStage::CreateTemporary, EACCES)}) {
        const SafeWriteResult result = writeFileSafely(fifo, "x", {Durability::Synced, hook});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.writeProtected);
        EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    }
    // Nor kept as a copy.
    SafeWriteResult failure;
    EXPECT_FALSE(keepBackupCopy(fifo, failure));
    EXPECT_FALSE(failure.ok);
}

TEST(SafeFile, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace)
{
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("x.dat"));
    app.write(QStringLiteral("x.dat"), "old content, longer than the new");
    const ino_t inode = inodeOf(path);
    const SafeWriteOptions noTemporary{Durability::Synced,
                                       failAt(SafeWriteStage::CreateTemporary, EACCES)};
    ASSERT_TRUE(writeFileSafely(path, "new", noTemporary).ok);
    EXPECT_EQ(app.read(QStringLiteral("x.dat")), QByteArray("new"));
    EXPECT_EQ(inodeOf(path), inode);
    // A file that is not there yet cannot be made: the folder is what refuses.
    const SafeWriteResult fresh =
        writeFileSafely(app.file(QStringLiteral("y.dat")), "y",
                        {Durability::Synced, failAt(SafeWriteStage::CreateTemporary, EACCES)});
    EXPECT_FALSE(fresh.ok);
    EXPECT_TRUE(fresh.writeProtected);

    // The same for real, as an ordinary user in a folder only root may write.
    ASSERT_EQ(::chmod(QFile::encodeName(app.path()).constData(), 0755), 0);
    app.makeFolder(QStringLiteral("locked"));
    app.write(QStringLiteral("locked/x.dat"), "old");
    const QString locked = app.file(QStringLiteral("locked/x.dat"));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(app.file(QStringLiteral("locked"))).constData(), 0555), 0);
    const int status = runAsNobody([&] {
        const bool saved = writeFileSafely(locked, "new").ok;
        const SafeWriteResult other =
            writeFileSafely(app.file(QStringLiteral("locked/other.dat")), "x");
        const bool folderRefused =
            outputFolderProblem(app.file(QStringLiteral("locked/z.bmp"))).has_value();
        return saved && !other.ok && other.writeProtected && folderRefused &&
                       !outputFolderProblem(locked).has_value()
                   ? 0
                   : 1;
    });
    // Writable again, so that the folder can be cleaned away whoever runs the test.
    ::chmod(QFile::encodeName(app.file(QStringLiteral("locked"))).constData(), 0755);
    if (status < 0)
        GTEST_SKIP() << "no unprivileged user to run as";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(app.read(QStringLiteral("locked/x.dat")), QByteArray("new"));
}

TEST(SafeFile, LongNamesFitAndTooLongNamesAreNamed)
{
    TempAppFolder app;
    const QString longest = QString(250, u'x') + QStringLiteral(".dat"); // 254 bytes
    ASSERT_TRUE(writeFileSafely(app.file(longest), "x").ok);
    EXPECT_EQ(app.read(longest), QByteArray("x"));
    // 128 Cyrillic letters are 256 bytes: one too many for the file system.
    const QString tooLong = QString(128, u'я');
    const SafeWriteResult result = writeFileSafely(app.file(tooLong), "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.writeProtected);
    EXPECT_EQ(result.errorString, QStringLiteral("Имя файла «%1» слишком длинное.").arg(tooLong));
    EXPECT_EQ(outputFolderProblem(app.file(tooLong)),
              QStringLiteral("Имя файла «%1» слишком длинное.").arg(tooLong));
    EXPECT_EQ(filesIn(app), QStringList{longest});
}

TEST(SafeFile, ASaveRemovesOnlyItsOwnStaleTemporaries)
{
    TempAppFolder app;
    const QStringList stale = {QStringLiteral(".vexilo-a1B2c3.tmp")};
    const QStringList kept = {QStringLiteral(".vexilo-fresh0.tmp"),     // a save running now
                              QStringLiteral(".vexilo-notes.tmp"),      // not the pattern
                              QStringLiteral("vexilo-a1B2c3.tmp"),      // not hidden
                              QStringLiteral(".vexilo-a1B2c3.tmp.bak"), // not the pattern
                              QStringLiteral("x.dat")};
    for (const QString &name : stale + kept)
        app.write(name, "left over");
    for (const QString &name : stale + kept.mid(1))
        ageFile(app.file(name), 120);
    ASSERT_EQ(::symlink("x.dat", QFile::encodeName(app.file(QStringLiteral(".vexilo-link00.tmp")))),
              0);
    ageFile(app.file(QStringLiteral(".vexilo-link00.tmp")), 120);

    ASSERT_TRUE(writeFileSafely(app.file(QStringLiteral("x.dat")), "new").ok);
    QStringList expected = kept;
    expected << QStringLiteral(".vexilo-link00.tmp");
    expected.sort();
    EXPECT_EQ(filesIn(app), expected);
}

TEST(SafeFileBatch, AFailedRowReplacesNoneAndACommitReplacesAll)
{
    TempAppFolder app;
    const QStringList names = {QStringLiteral("a.bmp"), QStringLiteral("b.bmp"),
                               QStringLiteral("c.bmp")};
    for (const QString &name : names)
        app.write(name, "old " + name.toUtf8());
    const auto stageAll = [&](SafeFileBatch &batch) {
        SafeWriteResult result;
        for (const QString &name : names) {
            result = batch.stage(app.file(name), [&name](QIODevice &out) {
                return out.write("new " + name.toUtf8()) > 0;
            });
            if (!result.ok)
                break;
        }
        return result.ok ? batch.commit() : result;
    };
    {
        SafeFileBatch batch({Durability::Unsynced, failAt(SafeWriteStage::Write, ENOSPC, 1)});
        const SafeWriteResult result = stageAll(batch);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.path, app.file(names[1]));
    }
    {
        // Staged but never committed: nothing changes, no temporary stays.
        SafeFileBatch batch;
        ASSERT_TRUE(
            batch.stage(app.file(names[0]), [](QIODevice &out) { return out.write("never") == 5; })
                .ok);
    }
    for (const QString &name : names)
        EXPECT_EQ(app.read(name), "old " + name.toUtf8());
    EXPECT_EQ(filesIn(app), names);

    SafeFileBatch batch;
    ASSERT_TRUE(stageAll(batch).ok);
    for (const QString &name : names)
        EXPECT_EQ(app.read(name), "new " + name.toUtf8());
    EXPECT_EQ(filesIn(app), names);
}

TEST(SafeFile, OutputFolderProblemsAreFoundBeforeWriting)
{
    TempAppFolder app;
    app.write(QStringLiteral("file"), "x");
    EXPECT_EQ(outputFolderProblem(app.file(QStringLiteral("out.bmp"))), std::nullopt);
    EXPECT_EQ(outputFolderProblem(app.file(QStringLiteral("missing/out.bmp"))),
              QStringLiteral("Папка «%1» не найдена.").arg(app.file(QStringLiteral("missing"))));
    EXPECT_EQ(outputFolderProblem(app.file(QStringLiteral("file/out.bmp"))),
              QStringLiteral("«%1» — не папка.").arg(app.file(QStringLiteral("file"))));
    EXPECT_EQ(filesIn(app), QStringList{QStringLiteral("file")}); // the probe is gone
}

TEST(SafeFile, ABackupCopyOverwritesNothing)
{
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("x.dat"));
    app.write(QStringLiteral("x.dat"), "first");
    SafeWriteResult failure;
    EXPECT_EQ(keepBackupCopy(path, failure), path + QStringLiteral(".bak"));
    app.write(QStringLiteral("x.dat"), "second");
    EXPECT_EQ(keepBackupCopy(path, failure), path + QStringLiteral(".bak2"));
    EXPECT_EQ(app.read(QStringLiteral("x.dat.bak")), QByteArray("first"));
    EXPECT_EQ(app.read(QStringLiteral("x.dat.bak2")), QByteArray("second"));
    EXPECT_FALSE(keepBackupCopy(app.file(QStringLiteral("absent.dat")), failure));
}

// The reason given is the failed write's own, never a leftover of what the encoder did.
TEST(SafeFile, AFailedWriteReportsItsOwnErrorAndAnEncoderThatGivesUpAnInputOutputError)
{
    struct Case
    {
        const char *file;
        Producer produce;
        int expected;
    };
    const QByteArray block(1 << 20, 'x');
    const std::vector<Case> cases = {
        {"/dev/full", [&](QIODevice &out) { return out.write(block) == block.size(); }, ENOSPC},
        {"/dev/null",
         [](QIODevice &) {
             errno = ENOSPC; // something the encoder tried, not the file
             return false;
         },
         EIO},
        {"/dev/null", [&](QIODevice &out) { return out.write(block) == block.size(); }, 0},
    };
    for (const Case &c : cases) {
        const int fd = ::open(c.file, O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << c.file;
        EXPECT_EQ(filesteps::produceInto(fd, c.produce, Durability::Unsynced), c.expected)
            << c.file;
        ::close(fd);
    }
}
