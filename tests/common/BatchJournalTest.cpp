#include "common/BatchJournal.h"
#include "common/FileSteps.h"
#include "common/SafeFile.h"
#include "common/SaveChecks.h"

#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <latch>
#include <map>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

using namespace vexilo;
using namespace vexilo::batchjournal;
using namespace vexilo::test;

namespace {

const QStringList kRows = {QStringLiteral("k_ряд1.bmp"), QStringLiteral("k_ряд2.bmp"),
                           QStringLiteral("k_ряд3.bmp")};

QStringList filesIn(const TempAppFolder &app)
{
    return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList ourLeftovers(const TempAppFolder &app)
{
    return QDir(app.path())
        .entryList({QStringLiteral(".vexilo-*")}, QDir::Files | QDir::Hidden | QDir::System,
                   QDir::Name);
}

// Stages every row with `content` and commits them.
SafeWriteResult commitRows(const TempAppFolder &app, const QByteArray &content,
                           const SafeWriteHook &hook = {})
{
    SafeFileBatch batch({Durability::Unsynced, hook});
    for (const QString &row : kRows) {
        const SafeWriteResult staged = batch.stage(app.file(row), [&](QIODevice &out) {
            return out.write(content + ' ' + row.toUtf8()) > 0;
        });
        if (!staged.ok)
            return staged;
    }
    return batch.commit();
}

// What each row holds, without its name.
QList<QByteArray> rowContents(const TempAppFolder &app)
{
    QList<QByteArray> contents;
    for (const QString &row : kRows)
        contents.append(app.read(row).chopped(row.toUtf8().size() + 1));
    return contents;
}

// A temporary file of the program's pattern, as a commit stages it.
QString stageTemporary(const TempAppFolder &app, const QByteArray &content)
{
    QString name;
    const int fd = filesteps::createTemporary(app.path().chopped(1), name);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
    return QFileInfo(name).fileName();
}

} // namespace

TEST(BatchJournal, ReadsBackWhatItWroteAndRefusesAnythingElse)
{
    const JournalEntry entry{QStringLiteral(".vexilo-a1B2c3.tmp"),
                             QStringLiteral("год 100%\nновый_ряд1.bmp"), 1234, 99};
    const QByteArray content = journalContent({entry, entry});
    const std::optional<std::vector<JournalEntry>> back = parseJournal(content);
    ASSERT_TRUE(back && back->size() == 2);
    EXPECT_EQ(back->back().temporary, entry.temporary);
    EXPECT_EQ(back->back().target, entry.target);
    EXPECT_EQ(back->back().size, entry.size);
    EXPECT_EQ(back->back().inode, entry.inode);

    const QByteArray head = "vexilo-batch 1\n";
    const QByteArray refused[] = {
        content.chopped(1),                                  // cut short
        QByteArray(content).replace("end 2", "end 1"),       // the count lies
        head + "5 9 .vexilo-a1B2c3.tmp ..%2Fx.bmp\nend 1\n", // outside the folder
        head + "5 9 .vexilo-a1B2c3.tmp ..\nend 1\n",
        head + "5 9 notes.txt x.bmp\nend 1\n", // not a temporary file
        head + "5 9 .vexilo-a1B2c3.tmp .vexilo-batch.journal\nend 1\n",
        head + "-5 9 .vexilo-a1B2c3.tmp x.bmp\nend 1\n",
        "vexilo-batch 2\n5 9 .vexilo-a1B2c3.tmp x.bmp\nend 1\n",
    };
    for (const QByteArray &bad : refused)
        EXPECT_FALSE(parseJournal(bad)) << bad.toStdString();
}

TEST(BatchJournal, TwoCommitsIntoOneFolderAtOnceLeaveOneWritersRows)
{
    TempAppFolder app;
    // A pause before each rename gives two unserialised commits every chance to interleave.
    const SafeWriteHook slowRenames = [](SafeWriteStage stage) {
        if (stage == SafeWriteStage::Rename)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 0;
    };
    for (int round = 0; round < 15; ++round) {
        std::latch start(2);
        SafeWriteResult results[2];
        auto writer = [&](int n) {
            SafeFileBatch batch({Durability::Unsynced, slowRenames});
            const QByteArray content = "writer " + QByteArray::number(n);
            for (const QString &row : kRows)
                (void)batch.stage(app.file(row), [&](QIODevice &out) {
                    return out.write(content + ' ' + row.toUtf8()) > 0;
                });
            start.arrive_and_wait();
            results[n] = batch.commit();
        };
        std::thread first(writer, 0);
        std::thread second(writer, 1);
        first.join();
        second.join();
        ASSERT_TRUE(results[0].ok && results[1].ok) << "round " << round;
        const QList<QByteArray> rows = rowContents(app);
        ASSERT_TRUE(rows.count(rows.front()) == rows.size())
            << "round " << round << ": " << rows.join(" | ").toStdString();
    }
    EXPECT_EQ(filesIn(app), kRows); // no lock, journal or temporary stays
}

TEST(BatchJournal, ARenameThatFailsHalfWayIsCompletedByTheNextCheckOfTheFolder)
{
    const struct
    {
        int renamesBefore;
        QByteArray afterFailure; // what the first row holds right after the failed commit
        QByteArray afterCheck;   // what every row holds once the folder was checked
    } cases[] = {
        {0, "old", "old"}, // nothing replaced: nothing changes, nothing waits
        {1, "new", "new"}, // the first replaced: the others follow
        {2, "new", "new"},
    };
    for (const auto &c : cases) {
        TempAppFolder app;
        ASSERT_TRUE(commitRows(app, "old").ok);
        const SafeWriteResult failed =
            commitRows(app, "new", failAt(SafeWriteStage::Rename, EIO, c.renamesBefore));
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(failed.path, app.file(kRows[c.renamesBefore]));
        EXPECT_TRUE(failed.errorString.startsWith(QStringLiteral("Ошибка ввода-вывода.")));
        EXPECT_EQ(rowContents(app).front(), c.afterFailure) << c.renamesBefore;
        EXPECT_EQ(journalPresent(app.path()), c.renamesBefore > 0);

        EXPECT_EQ(outputFolderProblem(app.file(kRows[0])), std::nullopt);
        EXPECT_EQ(rowContents(app), QList<QByteArray>(kRows.size(), c.afterCheck))
            << c.renamesBefore;
        EXPECT_EQ(filesIn(app), kRows);
    }
}

TEST(BatchJournal, TheCompletionPutsInPlaceOnlyTheTemporariesItWrote)
{
    struct Case
    {
        const char *what;
        bool sameSize;  // the temporary still holds what the journal counted
        bool sameInode; // the temporary is still the file the journal named
        QByteArray row; // the target afterwards
        bool temporaryStays;
    };
    const Case cases[] = {
        {"whole", true, true, "new", false},
        {"lost content in a power cut", false, true, "old", false},
        {"a later file of the same name", true, false, "old", true},
    };
    for (const Case &c : cases) {
        TempAppFolder app;
        app.write(QStringLiteral("x.bmp"), "old");
        const QString temporary = stageTemporary(app, "new");
        std::optional<JournalEntry> entry =
            describeRename(app.file(temporary), app.file(QStringLiteral("x.bmp")));
        ASSERT_TRUE(entry);
        if (!c.sameSize)
            entry->size += 100;
        if (!c.sameInode)
            entry->inode += 1;
        ASSERT_EQ(writeJournal(app.path(), {*entry}, Durability::Unsynced), 0);
        // A journal keeps its temporaries from the clean-up of stale ones, however old.
        ageFile(app.file(temporary), 3600);
        filesteps::removeStaleTemporaries(app.path());
        EXPECT_TRUE(QFile::exists(app.file(temporary))) << c.what;

        rollForward(app.path());
        EXPECT_EQ(app.read(QStringLiteral("x.bmp")), c.row) << c.what;
        EXPECT_EQ(QFile::exists(app.file(temporary)), c.temporaryStays) << c.what;
        EXPECT_FALSE(journalPresent(app.path())) << c.what;
    }
}

TEST(BatchJournal, AFolderThatTakesNoJournalGetsNoRowReplaced)
{
    TempAppFolder app;
    ASSERT_TRUE(commitRows(app, "old").ok);
    app.makeFolder(QLatin1String(kJournalName)); // in the journal's way
    const SafeWriteResult result = commitRows(app, "new");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.errorString.isEmpty());
    EXPECT_EQ(rowContents(app), QList<QByteArray>(kRows.size(), "old"));
    EXPECT_TRUE(ourLeftovers(app).isEmpty()) << ourLeftovers(app).join(u' ').toStdString();
}

namespace {

// Every entry of the folder, one level of subfolders included: its kind and content.
std::map<QString, QByteArray> snapshot(const QString &folder, const QString &prefix = {})
{
    std::map<QString, QByteArray> entries;
    const QFileInfoList infos = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : infos) {
        const QString name = prefix + info.fileName();
        if (info.isSymLink()) {
            entries[name] = "link " + info.symLinkTarget().toUtf8();
        } else if (info.isDir()) {
            entries[name] = "folder";
            if (prefix.isEmpty())
                entries.merge(snapshot(info.filePath(), name + u'/'));
        } else {
            QFile file(info.filePath());
            entries[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
        }
    }
    return entries;
}

} // namespace

// A journal made by hand, with temporaries of the right inodes, could have any file of the
// folder replaced; one that is not what an export wrote is removed and nothing else changes.
TEST(BatchJournal, AJournalNoExportWroteChangesNothingInTheFolder)
{
    // What stands under the temporaries' and targets' names, besides rows of the same stem.
    enum class Put { Temporary, PlainFile, Link, Folder };
    struct Named
    {
        QString temporary; // empty: a new one of the program's pattern
        QString target;
        Put atTemporary = Put::Temporary;
        Put atTarget = Put::PlainFile;
    };
    const QString notes = QStringLiteral("notes.txt");
    const QString row1 = QStringLiteral("k_ряд1.bmp");
    const QString row2 = QStringLiteral("k_ряд2.bmp");
    const struct
    {
        const char *what;
        std::vector<Named> entries;
    } cases[] = {
        {"a file the program never writes", {{{}, notes}}},
        {"rows of two exports", {{{}, row1}, {{}, QStringLiteral("j_ряд2.bmp")}}},
        {"rows of two formats", {{{}, row1}, {{}, QStringLiteral("k_ряд2.png")}}},
        {"a whole sheet beside its rows", {{{}, QStringLiteral("k.bmp")}, {{}, row2}}},
        {"glyphs of two kinds", {{{}, QStringLiteral("0.gif")}, {{}, QStringLiteral("1.svg")}}},
        {"a temporary not of the program's pattern",
         {{QStringLiteral("evil.tmp"), row1, Put::PlainFile}, {{}, row2}}},
        {"a path into a subfolder", {{{}, QStringLiteral("sub/") + row1}, {{}, row2}}},
        {"the parent folder", {{{}, QStringLiteral("..")}}},
        {"a row that is a link", {{{}, row1, Put::Temporary, Put::Link}, {{}, row2}}},
        {"a temporary that is a link", {{{}, row1, Put::Link}, {{}, row2}}},
        {"a row that is a folder", {{{}, row1, Put::Temporary, Put::Folder}, {{}, row2}}},
        {"a temporary that is a folder", {{{}, row1, Put::Folder}, {{}, row2}}},
    };
    for (const auto &c : cases) {
        TempAppFolder app;
        const QString folder = app.path().chopped(1);
        app.write(notes, "mine");
        app.makeFolder(QStringLiteral("sub"));
        app.write(QStringLiteral("sub/") + row1, "in sub");
        std::vector<JournalEntry> entries;
        for (const Named &named : c.entries) {
            QString temporary = named.temporary;
            if (named.atTemporary == Put::Temporary) {
                temporary = stageTemporary(app, "replacement");
            } else {
                if (temporary.isEmpty())
                    temporary = QFileInfo(filesteps::ownName(kTemporarySuffix)).fileName();
                if (named.atTemporary == Put::PlainFile)
                    app.write(temporary, "replacement");
                else if (named.atTemporary == Put::Link)
                    ASSERT_TRUE(QFile::link(app.file(notes), app.file(temporary)));
                else
                    app.makeFolder(temporary);
            }
            if (!named.target.contains(u'/') && named.target != QStringLiteral("..")) {
                if (named.atTarget == Put::Link)
                    ASSERT_TRUE(QFile::link(app.file(notes), app.file(named.target)));
                else if (named.atTarget == Put::Folder)
                    app.makeFolder(named.target);
                else if (!QFile::exists(app.file(named.target)))
                    app.write(named.target, "old");
            }
            std::optional<JournalEntry> entry =
                describeRename(app.file(temporary), app.file(named.target));
            ASSERT_TRUE(entry) << c.what;
            entry->target = named.target;
            entries.push_back(*entry);
        }
        app.write(QLatin1String(kJournalName), journalContent(entries));
        std::map<QString, QByteArray> before = snapshot(folder);
        before.erase(QLatin1String(kJournalName));

        EXPECT_EQ(outputFolderProblem(app.file(row1)), std::nullopt) << c.what;
        rollForward(folder);
        EXPECT_EQ(snapshot(folder), before) << c.what;
        EXPECT_TRUE(journalTemporaries(folder).isEmpty()) << c.what;
    }
}

TEST(BatchJournal, AFolderInTheJournalsPlaceIsNamedAndStopsOnlySavesOfSeveralFiles)
{
    TempAppFolder app;
    app.makeFolder(QLatin1String(kJournalName));
    const QString named = QStringLiteral("Журнал сохранения «%1/%2» не записать.")
                              .arg(app.path().chopped(1), QLatin1String(kJournalName));
    EXPECT_TRUE(commitRows(app, "new").errorString.startsWith(named));
    EXPECT_TRUE(outputFolderProblem(app.file(kRows[0]), 3).value_or(QString()).startsWith(named));
    EXPECT_EQ(outputFolderProblem(app.file(kRows[0]), 1), std::nullopt);
    EXPECT_TRUE(writeFileSafely(app.file(kRows[0]), "one file").ok);
}
