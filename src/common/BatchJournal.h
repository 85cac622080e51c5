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

// Whether the names are the files of one save as this program names them: the glyph files
// of one set ("0.gif" … "9.gif", "Пн.gif" … "Вс.gif", or all of them ".svg"), or the files of
// one sheet from one chosen name STEM and one of the extensions .bmp, .png, .pdf, .svg: the
// single "STEM.ext", or any of "STEM_рядN.ext", "STEM_стрN.ext" and "STEM_стрN_рядM.ext".
bool isOneSavesTargets(const QStringList &names);

QByteArray journalContent(const std::vector<JournalEntry> &entries);
// Nothing for a journal that is not whole, names anything but plain files of its folder, names
// temporaries not of this program's pattern, or targets that are not one save's
// (isOneSavesTargets).
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
// to without one. A commit holds it for a few renames; one that waits longer than this reports
// the folder busy rather than hang.
inline constexpr int kLockWaitMs = 30000;

class FolderLock
{
public:
    // Waits up to `waitMs` for a lock another commit holds.
    explicit FolderLock(const QString &folder, int waitMs = kLockWaitMs);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Another commit held the lock for longer than we wait.
    bool busy() const { return m_busy; }

private:
    int m_fd = -1;
    bool m_busy = false;
};

// "Журнал сохранения «…» не записать." and the system's reason: the journal is the problem,
// not the file being saved.
QString journalFailureMessage(const QString &folder, int err);
// Whether something that is no file (a folder) stands where the folder's journal goes, so
// that no commit of several files can happen there.
bool journalBlocked(const QString &folder);

// "Файлы в папке «…» сейчас записывает другая копия программы."
QString busyFolderMessage(const QString &folder);

} // namespace vexilo::batchjournal
