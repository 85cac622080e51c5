#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace vexilo {

struct SafeWriteResult
{
    bool ok = true;
    // The system's description of what went wrong, in Russian where we know the error; never
    // empty on failure.
    QString errorString;
    // Permission denied, a read-only file or a read-only file system.
    bool writeProtected = false;
    // The file the failure concerns, as the caller named it.
    QString path;
};

// A failed result for a reason that is no system error (a sheet too large, a folder that is
// not a glyph set …).
SafeWriteResult refusedWrite(const QString &path, const QString &reason);

// What a failed write was writing, for the words of its report.
enum class WrittenThing { File, GlyphSet };

// The two lines every failed write is reported with: what went wrong (never empty), then
// "Файл «path» защищён от записи." or "Файл «path» сохранить не возможно." (for a glyph set,
// "Набор картинок не записан («path»)."). The window shows them in its boxes, the command-line
// tools print them.
QStringList failureLines(const SafeWriteResult &result, WrittenThing thing = WrittenThing::File);

// Synced files are flushed to the disk, and their folder after the rename, so even a power cut
// leaves the old or the new file; exported pictures skip that, for speed.
enum class Durability { Synced, Unsynced };

// The steps of a save where a test may inject a failure.
enum class SafeWriteStage { CreateTemporary, OpenInPlace, Write, Rename };
// Asked before each step; a non-zero system error number makes that step fail with it.
using SafeWriteHook = std::function<int(SafeWriteStage)>;

struct SafeWriteOptions
{
    Durability durability = Durability::Synced;
    SafeWriteHook hook; // empty: nothing injected
    // The caller holds the lock (batchjournal::FolderLock) of every folder a commit writes to.
    bool folderLocked = false;
};

// Content written straight into the file; returns false when it could not write everything.
using Producer = std::function<bool(QIODevice &)>;

// Writes the whole file through a temporary file in the target's folder and renames it over
// the target, so a crash, a full disk or a failed write leaves the old file whole. A symbolic
// link is followed and stays a link. When the folder takes no new file but the file itself is
// writable, the file is written in place instead, which a crash may leave half-written.
SafeWriteResult writeFileSafely(const QString &path, const QByteArray &data,
                                const SafeWriteOptions &options = {});
SafeWriteResult writeFileSafely(const QString &path, const Producer &produce,
                                const SafeWriteOptions &options = {});

// Several files replaced together: each is written to its temporary file as it is staged, and
// only commit() puts them in place, so a failed write replaces none of them. Temporaries that
// were not committed are removed when the batch goes.
//
// Several renames are one set even when the process dies between them: a journal in each
// folder names them before the first, and the next commit into that folder, or
// outputFolderProblem for it, completes a set that was cut short. Commits into one folder take
// turns through a lock on it, so two of them at once never mix their files.
class SafeFileBatch
{
public:
    explicit SafeFileBatch(SafeWriteOptions options = {});
    ~SafeFileBatch();
    SafeFileBatch(const SafeFileBatch &) = delete;
    SafeFileBatch &operator=(const SafeFileBatch &) = delete;

    SafeWriteResult stage(const QString &path, const Producer &produce);
    // Renames every staged file into place, in staging order. A rename that fails before any
    // file was replaced changes nothing; after some were, the others are left to the journal,
    // which the next commit into the folder or its check completes. A file whose staging
    // failed is simply not part of the batch. Files written in place (see writeFileSafely)
    // take the lock but have no journal: a crash may leave them half old, half new.
    SafeWriteResult commit();

private:
    struct Staged
    {
        QString path;       // as the caller named it
        QString target;     // the file really written, links resolved
        QString temporary;  // empty when the file is written in place at commit
        QByteArray inPlace; // the content of a file written in place
        bool done;          // in place already: a second commit leaves it alone
    };

    // The folders of the files not yet in place (or only of those renamed), sorted.
    QStringList pendingFolders(bool renamesOnly) const;
    SafeWriteResult writeJournals(const QStringList &folders);
    // The failure of the file at `path`; `handOver`: leaves the remaining renames to the
    // journals of `journaled` rather than undoing them.
    SafeWriteResult interrupted(const QString &path, int err, bool handOver,
                                const QStringList &journaled);

    SafeWriteOptions m_options;
    std::vector<Staged> m_staged;
};

// The prefix and suffix of this program's temporary files; others are never touched.
inline constexpr char kTemporaryPrefix[] = ".vexilo-";
inline constexpr char kTemporarySuffix[] = ".tmp";

// Whether a system error number means the file or its folder may not be written.
bool isWriteProtectedError(int errnoValue);

// Russian text for the system errors a save can meet; empty for the others.
QString describeSystemError(int errnoValue);

} // namespace vexilo
