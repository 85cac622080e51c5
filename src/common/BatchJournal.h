#pragma once

#include "common/SafeFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What lets a commit of several files survive a crash as one set: a journal in the folder that
// names every temporary file and the file it replaces, written before the first rename and
// removed after the last, and a lock that keeps two commits into one folder apart.
namespace vexilo::batchjournal {

// Hidden, of this program's pattern, and never taken for a temporary file.
inline constexpr char kJournalName[] = ".vexilo-batch.journal";

// One rename of a commit, by file names in the journal's folder. The temporary's size and
// inode tell it from a file that took its name later or lost its content in a power cut.
struct JournalEntry
{
    QString temporary;
    QString target;
    qint64 size = 0;
    quint64 inode = 0;
};

QByteArray journalContent(const std::vector<JournalEntry> &entries);
// Nothing for a journal that is not whole or names anything but plain files of its folder.
std::optional<std::vector<JournalEntry>> parseJournal(const QByteArray &content);

// The entry for a temporary file as it lies in the folder now; nothing when it is gone.
std::optional<JournalEntry> describeRename(const QString &temporary, const QString &target);

// Whether the folder holds a journal, whole or not.
bool journalPresent(const QString &folder);

// Writes the journal through a temporary file and a rename, flushed with its folder when
// asked; the system error number of a failure, or 0.
int writeJournal(const QString &folder, const std::vector<JournalEntry> &entries,
                 Durability durability);
void removeJournal(const QString &folder);

// The temporary files a whole journal in the folder still names, which must stay.
QStringList journalTemporaries(const QString &folder);

// Completes the commit a journal in the folder records: every temporary it names that is
// still there is renamed onto its file, then the journal goes. When a temporary lost content
// (a power cut before it reached the disk) none is put in place and they are removed. Call it
// holding the folder's lock.
void rollForward(const QString &folder);

// The folder's lock, held while the object lives: an advisory lock (flock) on the folder
// itself, so no lock file is left behind and the system lets go of it when its process dies.
// A folder that takes no lock (one we may not read, a file system without locks) is committed
// to without one.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Another commit held the lock for longer than we wait.
    bool busy() const { return m_busy; }

private:
    int m_fd = -1;
    bool m_busy = false;
};

// "Файлы в папке «…» сейчас записывает другая копия программы."
QString busyFolderMessage(const QString &folder);

} // namespace vexilo::batchjournal
