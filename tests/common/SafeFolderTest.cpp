#include "common/SafeFolder.h"

#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <map>

#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QStringList kNames = {QStringLiteral("0.gif"), QStringLiteral("Пн.gif")};

std::vector<FolderFile> filesSaying(const QByteArray &content)
{
    std::vector<FolderFile> files;
    for (const QString &name : kNames)
        files.push_back({name, [content, name](QIODevice &device) {
                             const QByteArray bytes = content + name.toUtf8();
                             return device.write(bytes) == bytes.size();
                         }});
    return files;
}

QByteArray encodedPath(const QString &path)
{
    return QFile::encodeName(path);
}

// Every entry of a folder, hidden ones included, with its content ("<dir>" for folders).
std::map<QString, QByteArray> contentOf(const QString &folder)
{
    std::map<QString, QByteArray> content;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        QFile file(entry.absoluteFilePath());
        // A pipe is never opened: that would wait for a writer.
        if (entry.isSymLink())
            content[entry.fileName()] = "<link>";
        else if (entry.isDir())
            content[entry.fileName()] = "<dir>";
        else if (!entry.isFile() || !file.open(QIODevice::ReadOnly))
            content[entry.fileName()] = "<special>";
        else
            content[entry.fileName()] = file.readAll();
    }
    return content;
}

} // namespace

TEST(SafeFolder, AnExistingFolderIsWrittenOnlyWhenItHoldsNothingButTheFilesOfTheSet)
{
    struct Case
    {
        const char *what;
        std::function<void(const TempAppFolder &)> fill; // fills "set"
        bool replaced;
        const char *named; // what the refusal names
    };
    const auto file = [](const char *name, const char *content = "mine") {
        return [=](const TempAppFolder &app) {
            app.write(QStringLiteral("set/") + QString::fromUtf8(name), content);
        };
    };
    const Case cases[] = {
        {"pictures only",
         [](const TempAppFolder &app) {
             for (const char *name : {"a.jpg", "b.png", "c.bmp", "d.GIF"})
                 app.write(QStringLiteral("set/") + QString::fromUtf8(name), name);
         },
         false, "a.jpg"},
        {"a set and its cover",
         [&](const TempAppFolder &app) {
             file("0.gif")(app);
             file("Пн.gif")(app);
             file("cover.jpg")(app);
         },
         false, "cover.jpg"},
        {"a name of the set in another case", file("0.GIF"), false, "0.GIF"},
        {"a subfolder",
         [](const TempAppFolder &app) { app.makeFolder(QStringLiteral("set/0.gif")); }, false,
         "папка «0.gif»"},
        {"a link of a set name",
         [](const TempAppFolder &app) {
             app.write(QStringLiteral("elsewhere"), "kept");
             QFile::link(app.file(QStringLiteral("elsewhere")),
                         app.file(QStringLiteral("set/0.gif")));
         },
         false, "ссылка «0.gif»"},
        {"a pipe of a set name",
         [](const TempAppFolder &app) {
             ::mkfifo(encodedPath(app.file(QStringLiteral("set/Пн.gif"))).constData(), 0644);
         },
         false, "«Пн.gif»"},
        {"an empty folder", [](const TempAppFolder &) {}, true, ""},
        {"part of an old set", file("0.gif"), true, ""},
        {"a whole old set",
         [&](const TempAppFolder &app) {
             file("0.gif")(app);
             file("Пн.gif")(app);
         },
         true, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder app;
        app.makeFolder(QStringLiteral("set"));
        c.fill(app);
        const auto before = contentOf(app.file(QStringLiteral("set")));
        const SafeWriteResult result = writeFolderSafely(
            app.file(QStringLiteral("set")), filesSaying("new "), ExistingFolder::ReplaceOwnFiles);
        EXPECT_EQ(result.ok, c.replaced) << result.errorString.toStdString();
        if (c.replaced) {
            EXPECT_EQ(contentOf(app.file(QStringLiteral("set"))),
                      (std::map<QString, QByteArray>{{kNames[0], "new 0.gif"},
                                                     {kNames[1], "new Пн.gif"}}));
        } else {
            EXPECT_TRUE(result.errorString.contains(QString::fromUtf8(c.named)))
                << result.errorString.toStdString();
            EXPECT_EQ(contentOf(app.file(QStringLiteral("set"))), before);
        }
        // Never asked to replace, no folder is written into.
        const SafeWriteResult asked = writeFolderSafely(
            app.file(QStringLiteral("set")), filesSaying("other "), ExistingFolder::Refuse);
        EXPECT_FALSE(asked.ok);
    }
}

TEST(SafeFolder, TheHomeFolderALinkAndAFileAreNeverWrittenInto)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("home"));
    app.write(QStringLiteral("home/0.gif"), "mine");
    app.makeFolder(QStringLiteral("real"));
    QFile::link(app.file(QStringLiteral("real")), app.file(QStringLiteral("link")));
    app.write(QStringLiteral("file"), "text");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", encodedPath(app.file(QStringLiteral("home"))));
    for (const QString &name :
         {QStringLiteral("home"), QStringLiteral("home/"), QStringLiteral("real/../home"),
          QStringLiteral("link"), QStringLiteral("file")}) {
        const SafeWriteResult result =
            writeFolderSafely(app.file(name), filesSaying("new "), ExistingFolder::ReplaceOwnFiles);
        EXPECT_FALSE(result.ok) << name.toStdString();
    }
    qputenv("HOME", home);
    EXPECT_EQ(app.read(QStringLiteral("home/0.gif")), QByteArray("mine"));
    EXPECT_EQ(QDir(app.file(QStringLiteral("real"))).entryList(QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_EQ(app.read(QStringLiteral("file")), QByteArray("text"));
}

TEST(SafeFolder, AFailedWriteLeavesTheOldSetAsItWasAndNoStagingBehind)
{
    struct Case
    {
        const char *what;
        SafeWriteStage stage;
        int passes;
        int oldFiles; // of the set, already in the folder
    };
    const Case cases[] = {
        {"the disk fills on the second file", SafeWriteStage::Write, 1, 2},
        {"the disk fills on the first file", SafeWriteStage::Write, 0, 2},
        {"no file can be made beside the old one", SafeWriteStage::CreateTemporary, 1, 1},
        {"the disk fills in a new folder", SafeWriteStage::Write, 1, 0},
        {"the staging folder cannot be made", SafeWriteStage::CreateTemporary, 0, 0},
        {"the new folder cannot be renamed", SafeWriteStage::Rename, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder app;
        if (c.oldFiles > 0)
            app.write(QStringLiteral("set/0.gif"), "old zero");
        if (c.oldFiles > 1)
            app.write(QStringLiteral("set/Пн.gif"), "old monday");
        const auto before = contentOf(app.path());
        const auto setBefore = contentOf(app.file(QStringLiteral("set")));
        const SafeWriteResult result = writeFolderSafely(
            app.file(QStringLiteral("set")), filesSaying("new "), ExistingFolder::ReplaceOwnFiles,
            {Durability::Synced, failAt(c.stage, ENOSPC, c.passes)});
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.errorString, QStringLiteral("На диске не осталось свободного места."));
        EXPECT_TRUE(
            failureLines(result, WrittenThing::GlyphSet)[1].contains(QStringLiteral("set")));
        EXPECT_EQ(contentOf(app.path()), before);
        EXPECT_EQ(contentOf(app.file(QStringLiteral("set"))), setBefore);
    }
}

TEST(SafeFolder, ANewFolderAppearsWholeWithTheUmasksModeAndNeverOverAnotherOne)
{
    for (const mode_t mask : {mode_t(022), mode_t(027), mode_t(077)}) {
        TempAppFolder app;
        const mode_t old = ::umask(mask);
        const SafeWriteResult result = writeFolderSafely(
            app.file(QStringLiteral("a/b/set")), filesSaying("new "), ExistingFolder::Refuse);
        ::umask(old);
        ASSERT_TRUE(result.ok) << result.errorString.toStdString();
        for (const char *folder : {"a/b", "a/b/set"}) {
            struct stat st
            {
            };
            ASSERT_EQ(::stat(encodedPath(app.file(QString::fromUtf8(folder))).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0777 & ~mask) << folder;
        }
        EXPECT_EQ(QDir(app.file(QStringLiteral("a/b")))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("set")});
    }

    // An empty folder made under the same name while the set was written stays as it is.
    TempAppFolder app;
    int renames = 0;
    const SafeWriteHook makeRival = [&](SafeWriteStage stage) {
        if (stage == SafeWriteStage::Rename && ++renames == 3)
            app.makeFolder(QStringLiteral("set"));
        return 0;
    };
    const SafeWriteResult raced =
        writeFolderSafely(app.file(QStringLiteral("set")), filesSaying("new "),
                          ExistingFolder::Refuse, {Durability::Synced, makeRival});
    EXPECT_FALSE(raced.ok);
    EXPECT_EQ(contentOf(app.path()), (std::map<QString, QByteArray>{{"set", "<dir>"}}));
    EXPECT_TRUE(contentOf(app.file(QStringLiteral("set"))).empty());
}

TEST(SafeFolder, OnlyStaleStagingFoldersOfThisUserHoldingTheSetsFilesAreCleaned)
{
    TempAppFolder app;
    struct Leftover
    {
        const char *name;
        int age;
        const char *content; // a file of that name inside, or none
        bool removed;
    };
    const Leftover leftovers[] = {
        {".vexilo-a1B2c3.dir", 120, "0.gif", true},
        {".vexilo-a1B2c4.dir", 120, ".vexilo-Zz9yY8.tmp", true},
        {".vexilo-a1B2c5.dir", 120, nullptr, true},
        {".vexilo-a1B2c6.dir", 5, "0.gif", false},        // may be another copy writing
        {".vexilo-a1B2c7.dir", 120, "photo.jpg", false},  // not the program's file
        {".vexilo-a1B2c8.dir.keep", 120, "0.gif", false}, // not the pattern
        {".vexilo-a1B2.dir", 120, "0.gif", false},
        {"vexilo-a1B2c9.dir", 120, "0.gif", false},
    };
    for (const Leftover &leftover : leftovers) {
        const QString name = QString::fromUtf8(leftover.name);
        app.makeFolder(name);
        if (leftover.content)
            app.write(name + u'/' + QString::fromUtf8(leftover.content), "x");
        ageFile(app.file(name), leftover.age);
    }
    ASSERT_TRUE(writeFolderSafely(app.file(QStringLiteral("set")), filesSaying("new "),
                                  ExistingFolder::Refuse)
                    .ok);
    for (const Leftover &leftover : leftovers)
        EXPECT_EQ(QFileInfo::exists(app.file(QString::fromUtf8(leftover.name))), !leftover.removed)
            << leftover.name;
}

TEST(SafeFolder, AFolderTheUserCannotListIsRefusedAndKeepsItsFiles)
{
    TempAppFolder app;
    ASSERT_EQ(::chmod(encodedPath(app.path()).constData(), 0755), 0);
    app.write(QStringLiteral("set/0.gif"), "mine");
    app.write(QStringLiteral("set/photo.jpg"), "photo");
    const QString set = app.file(QStringLiteral("set"));
    const auto attempt = [&set] {
        const SafeWriteResult result =
            writeFolderSafely(set, filesSaying("new "), ExistingFolder::ReplaceOwnFiles);
        return !result.ok && result.errorString.contains(QStringLiteral("не прочитать")) ? 0 : 1;
    };
    int status = -1;
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(encodedPath(set).constData(), 0300), 0);
        status = attempt();
    } else if (const passwd *nobody = ::getpwnam("nobody")) {
        // Root lists any folder, so the folder is the unprivileged user's own.
        for (const char *name : {"set", "set/0.gif", "set/photo.jpg"})
            ASSERT_EQ(::chown(encodedPath(app.file(QString::fromUtf8(name))).constData(),
                              nobody->pw_uid, nobody->pw_gid),
                      0);
        ASSERT_EQ(::chmod(encodedPath(set).constData(), 0300), 0);
        status = runAsNobody(attempt);
    }
    ::chmod(encodedPath(set).constData(), 0755);
    if (status < 0)
        GTEST_SKIP() << "no unprivileged user to run as";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentOf(set),
              (std::map<QString, QByteArray>{{"0.gif", "mine"}, {"photo.jpg", "photo"}}));
    EXPECT_EQ(contentOf(app.path()).size(), 1u);
}

TEST(SafeFolder, AWriteKilledAtAnyStepLeavesNoFolderAndItsStagingGoesOnceStale)
{
    struct Kill
    {
        const char *what;
        SafeWriteStage stage;
        int passes;
    };
    const Kill kills[] = {
        {"before the first file", SafeWriteStage::CreateTemporary, 1},
        {"while writing the second file", SafeWriteStage::Write, 1},
        {"at the first rename inside the staging folder", SafeWriteStage::Rename, 0},
        {"just before the folder is renamed into place", SafeWriteStage::Rename, 2},
    };
    TempAppFolder app;
    for (const Kill &kill : kills) {
        SCOPED_TRACE(kill.what);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto left = std::make_shared<int>(kill.passes);
            const SafeWriteHook die = [&kill, left](SafeWriteStage stage) {
                if (stage == kill.stage && (*left)-- == 0)
                    ::raise(SIGKILL);
                return 0;
            };
            writeFolderSafely(app.file(QStringLiteral("set")), filesSaying("new "),
                              ExistingFolder::Refuse, {Durability::Synced, die});
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const QStringList left =
            QDir(app.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        ASSERT_EQ(left.size(), 1) << left.join(u' ').toStdString();
        EXPECT_TRUE(isStagingFolderName(left[0]));
        ageFile(app.file(left[0]), 120);
        ASSERT_TRUE(writeFolderSafely(app.file(QStringLiteral("set")), filesSaying("new "),
                                      ExistingFolder::Refuse)
                        .ok);
        EXPECT_EQ(
            QDir(app.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("set")});
        QDir(app.file(QStringLiteral("set"))).removeRecursively();
    }
}
