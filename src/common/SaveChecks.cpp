#include "SaveChecks.h"

#include "common/BatchJournal.h"
#include "common/FileSteps.h"
#include "common/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

using namespace filesteps;

std::optional<SafeWriteResult> writeRefusal(const QString &path)
{
    int err = 0;
    const std::optional<QString> target = resolveLinks(path, err);
    if (!target)
        return failure(path, err);
    struct stat st
    {
    };
    if (::stat(encoded(*target).constData(), &st) == 0)
        if (std::optional<SafeWriteResult> refused = refusal(path, *target, st))
            return refused;
    if (const std::optional<QString> problem = outputFolderProblem(path)) {
        SafeWriteResult result;
        result.ok = false;
        result.path = path;
        result.errorString = *problem; // the folder's fault, not the file's
        return result;
    }
    return std::nullopt;
}

namespace {

constexpr int kMaxBackups = 999;

SafeWriteResult backupFailure(const QString &path, const QString &reason)
{
    SafeWriteResult result;
    result.ok = false;
    result.path = path;
    result.errorString = QStringLiteral("Копию файла «%1» сохранить нельзя: %2").arg(path, reason);
    return result;
}

} // namespace

std::optional<QString> keepBackupCopy(const QString &path, SafeWriteResult &result)
{
    QFile source;
    switch (openRegularFile(source, path)) {
    case FileOpening::Opened:
        break;
    case FileOpening::NotRegular:
        result = notAFile(path);
        return std::nullopt;
    case FileOpening::Missing:
        result = failure(path, ENOENT);
        return std::nullopt;
    case FileOpening::Unreadable:
        result = failure(path, EACCES);
        return std::nullopt;
    }
    struct stat st
    {
    };
    ::fstat(source.handle(), &st);
    for (int n = 1; n <= kMaxBackups; ++n) {
        const QString copy =
            path + QStringLiteral(".bak") + (n > 1 ? QString::number(n) : QString());
        // O_EXCL: an existing file of that name is never overwritten.
        const int fd = ::open(encoded(copy).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              (st.st_mode & 0777) | 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            const int err = errno;
            QString reason = QStringLiteral("в папку «%1» нельзя записать файлы.")
                                 .arg(QFileInfo(copy).absolutePath());
            if (const QString system = describeSystemError(err); !system.isEmpty())
                reason += u' ' + system;
            result = backupFailure(path, reason);
            return std::nullopt;
        }
        const int err = produceInto(
            fd,
            [&source](QIODevice &out) {
                while (!source.atEnd()) {
                    const QByteArray chunk = source.read(64 * 1024);
                    if (chunk.isEmpty() || out.write(chunk) != chunk.size())
                        return false;
                }
                return true;
            },
            Durability::Synced);
        ::close(fd);
        if (err != 0) {
            ::unlink(encoded(copy).constData());
            result = failure(copy, err);
            return std::nullopt;
        }
        syncFolder(QFileInfo(copy).absolutePath());
        return copy;
    }
    result = backupFailure(
        path, QStringLiteral("рядом с ним уже есть %1 копий (от «%2.bak» до «%2.bak%1»). Удалите "
                             "ненужные.")
                  .arg(kMaxBackups)
                  .arg(QFileInfo(path).fileName()));
    return std::nullopt;
}

std::optional<QString> outputFolderProblem(const QString &targetPath, qsizetype files)
{
    int err = 0;
    const std::optional<QString> target = resolveLinks(targetPath, err);
    if (!target)
        return failure(targetPath, err).errorString;
    const QString folder = QFileInfo(*target).absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists())
        return QStringLiteral("Папка «%1» не найдена.").arg(folder);
    if (!folderInfo.isDir())
        return QStringLiteral("«%1» — не папка.").arg(folder);
    if (nameTooLong(*target))
        return tooLongMessage(*target);
    QString probe;
    const int fd = createTemporary(folder, probe);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(encoded(probe).constData());
        if (files > 1 && batchjournal::journalBlocked(folder))
            return batchjournal::journalFailureMessage(folder, EISDIR);
        // An export killed half-way is completed as soon as anything is exported here again.
        if (batchjournal::journalPresent(folder)) {
            const batchjournal::FolderLock lock(folder);
            if (!lock.busy())
                batchjournal::rollForward(folder);
        }
        return std::nullopt;
    }
    err = errno;
    // A file that is there and writable is still written, in place.
    struct stat st
    {
    };
    if (::stat(encoded(*target).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
        !nobodyMayWrite(st) && mayWrite(*target))
        return std::nullopt;
    QString message = QStringLiteral("В папку «%1» нельзя записать файлы.").arg(folder);
    if (const QString reason = describeSystemError(err); !reason.isEmpty())
        message += u' ' + reason;
    return message;
}

} // namespace vexilo
