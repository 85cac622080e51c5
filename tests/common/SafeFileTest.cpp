#include "common/SafeFile.h"

#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

struct FaultGuard
{
    FaultGuard(SafeWriteFault fault, int err) { setSafeWriteFaultForTesting(fault, err); }
    ~FaultGuard() { setSafeWriteFaultForTesting(SafeWriteFault::None, 0); }
};

} // namespace

TEST(SafeFile, ReplacesTheWholeFileAndLeavesNoTemporaryBehind)
{
    TempAppFolder app;
    app.write(QStringLiteral("x.dat"), "old content that is longer");
    const SafeWriteResult result = writeFileSafely(app.file(QStringLiteral("x.dat")), "new");
    ASSERT_TRUE(result.ok) << result.errorString.toStdString();
    EXPECT_EQ(app.read(QStringLiteral("x.dat")), QByteArray("new"));
    EXPECT_EQ(QDir(app.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("x.dat")});
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
    for (const SafeWriteFault fault : {SafeWriteFault::Write, SafeWriteFault::Rename}) {
        FaultGuard guard(fault, ENOSPC);
        const SafeWriteResult result =
            writeFileSafely(app.file(QStringLiteral("x.dat")), "brand new content");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.writeProtected);
        EXPECT_EQ(result.errorString, QStringLiteral("На диске не осталось свободного места."));
        EXPECT_EQ(app.read(QStringLiteral("x.dat")), QByteArray("old"));
        EXPECT_EQ(QDir(app.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("x.dat")});
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
    FaultGuard guard(SafeWriteFault::Open, EROFS);
    const SafeWriteResult result = writeFileSafely(app.file(QStringLiteral("x.dat")), "x");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.writeProtected);
}
