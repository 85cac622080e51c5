#include "SafeFolder.h"

#include "common/BatchJournal.h"
#include "common/FileSteps.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

using namespace filesteps;

namespace {

// As with the temporary files: a staging folder untouched this long belongs to a write that
// died; a younger one may belong to another copy of the program writing right now.
constexpr time_t kStaleSeconds = 60;
constexpr char kStagingSuffix[] = ".dir";

SafeWriteResult refused(const QString &path, const QString &reason, bool writeProtected = false)
{
    SafeWriteResult result;
    result.ok = false;
    result.path = path;
    result.errorString = reason;
    result.writeProtected = writeProtected;
    return result;
}

// The failure with the system's reason after a sentence of our own.
SafeWriteResult refusedWith(const QString &path, const QString &reason, int err)
{
    const QString system = failure(path, err).errorString;
    return refused(path, reason + u' ' + system, isWriteProtectedError(err));
}

struct Entry
{
    QString name;
    mode_t mode;
};

// The entries of a folder, links not followed, sorted by name; nothing with `err` set when the
// folder cannot be listed.
std::optional<std::vector<Entry>> listFolder(const QString &path, int &err)
{
    DIR *dir = ::opendir(encoded(path).constData());
    if (dir == nullptr) {
        err = errno;
        return std::nullopt;
    }
    std::vector<Entry> entries;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        struct stat st
        {
        };
        const mode_t mode =
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? st.st_mode : 0;
        entries.push_back({QFile::decodeName(raw), mode});
        errno = 0;
    }
    err = errno;
    ::closedir(dir);
    if (err != 0)
        return std::nullopt;
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return entries;
}

QString describeEntry(const Entry &entry)
{
    if (S_ISDIR(entry.mode))
        return QStringLiteral("папка «%1»").arg(entry.name);
    if (S_ISLNK(entry.mode))
        return QStringLiteral("символическая ссылка «%1»").arg(entry.name);
    if (!S_ISREG(entry.mode))
        return QStringLiteral("«%1» (не обычный файл)").arg(entry.name);
    return QStringLiteral("«%1»").arg(entry.name);
}

bool isHomeFolder(const struct stat &folder)
{
    struct stat home
    {
    };
    return ::stat(encoded(QDir::homePath()).constData(), &home) == 0 &&
           home.st_dev == folder.st_dev && home.st_ino == folder.st_ino;
}

QStringList namesOf(const std::vector<FolderFile> &files)
{
    QStringList names;
    for (const FolderFile &file : files)
        names.append(file.name);
    return names;
}

// Every file staged, then all put in place; the first failure, or success.
SafeWriteResult writeFiles(const QString &folder, const std::vector<FolderFile> &files,
                           const SafeWriteOptions &options)
{
    SafeFileBatch batch(options);
    for (const FolderFile &file : files)
        if (SafeWriteResult staged = batch.stage(folder + u'/' + file.name, file.produce);
            !staged.ok)
            return staged;
    return batch.commit();
}

SafeWriteResult replaceInFolder(const QString &path, const struct stat &st,
                                const std::vector<FolderFile> &files,
                                const SafeWriteOptions &options)
{
    if (isHomeFolder(st))
        return refused(path, QStringLiteral("Это домашняя папка, она не заменяется."));
    // Held from the first look into the folder to the last rename, so that nothing another
    // copy writes is taken for a leftover; the loser is told at once rather than made to wait.
    const batchjournal::FolderLock lock(path, 0);
    if (lock.busy())
        return refused(path, batchjournal::busyFolderMessage(path));
    // What a killed write left is the program's own and would otherwise block the folder: its
    // journal is completed and its temporaries, young or old, go.
    batchjournal::rollForward(path);
    removeStaleTemporaries(path, true);
    int err = 0;
    const std::optional<std::vector<Entry>> entries = listFolder(path, err);
    if (!entries)
        return refusedWith(
            path, QStringLiteral("Содержимое папки не прочитать, поэтому она не заменяется."), err);
    if (::faccessat(AT_FDCWD, encoded(path).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return refusedWith(path, QStringLiteral("В папку нельзя записать файлы."), errno);
    const QStringList names = namesOf(files);
    for (const Entry &entry : *entries)
        if (!S_ISREG(entry.mode) || !names.contains(entry.name))
            return refused(path, QStringLiteral("В папке есть %1, а папка заменяется, только "
                                                "когда в ней нет ничего, кроме файлов набора.")
                                     .arg(describeEntry(entry)));
    SafeWriteOptions locked = options;
    locked.folderLocked = true;
    return writeFiles(path, files, locked);
}

// Makes the missing folders of `path` with the umask's mode; the system error number, or 0.
int makeParents(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(encoded(path).constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path)
        if (const int err = makeParents(parent))
            return err;
    if (::mkdir(encoded(path).constData(), 0777) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

// A new, empty staging folder in `parent`; empty with `err` set when none can be made.
QString makeStagingFolder(const QString &parent, const SafeWriteOptions &options, int &err)
{
    if ((err = options.hook ? options.hook(SafeWriteStage::CreateTemporary) : 0) != 0)
        return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = parent + u'/' + ownName(kStagingSuffix);
        // 0777, so that the umask gives the finished folder the user's usual permissions.
        if (::mkdir(encoded(candidate).constData(), 0777) == 0)
            return candidate;
        if (errno != EEXIST) {
            err = errno;
            return {};
        }
    }
    err = EEXIST;
    return {};
}

void removeStaging(const QString &staging, const QStringList &names)
{
    for (const QString &name : names)
        ::unlink(encoded(staging + u'/' + name).constData());
    ::rmdir(encoded(staging).constData());
}

// Puts the filled staging folder in place without ever replacing anything at `path`.
int renameIntoPlace(const QString &staging, const QString &path)
{
    if (::renameat2(AT_FDCWD, encoded(staging).constData(), AT_FDCWD, encoded(path).constData(),
                    RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a plain rename replaces at most an empty folder.
    return ::rename(encoded(staging).constData(), encoded(path).constData()) == 0 ? 0 : errno;
}

void removeStaleStagingFolders(const QString &parent, const QStringList &names)
{
    const QStringList entries =
        QDir(parent).entryList({QString::fromLatin1(kTemporaryPrefix) + u'*'},
                               QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &entry : entries)
        if (isStagingFolderName(entry))
            removeStaleFolder(parent + u'/' + entry, names);
}

SafeWriteResult createFolder(const QString &path, const std::vector<FolderFile> &files,
                             const SafeWriteOptions &options)
{
    const QString parent = QFileInfo(path).absolutePath();
    if (const int err = makeParents(parent))
        return failure(parent, err);
    const QStringList names = namesOf(files);
    removeStaleStagingFolders(parent, names);
    int err = 0;
    const QString staging = makeStagingFolder(parent, options, err);
    if (staging.isEmpty())
        return failure(path, err);
    if (SafeWriteResult written = writeFiles(staging, files, options); !written.ok) {
        removeStaging(staging, names);
        // The files are named where they were meant to go, not in the hidden folder.
        written.path = path + u'/' + QFileInfo(written.path).fileName();
        return written;
    }
    err = options.hook ? options.hook(SafeWriteStage::Rename) : 0;
    if (err == 0)
        err = renameIntoPlace(staging, path);
    if (err != 0) {
        removeStaging(staging, names);
        if (err == EEXIST || err == ENOTEMPTY)
            return refused(path, QStringLiteral("Папка с этим именем только что появилась."));
        return failure(path, err);
    }
    if (options.durability == Durability::Synced)
        syncFolder(parent);
    return {};
}

} // namespace

bool isStagingFolderName(const QString &name)
{
    return isOwnName(name, kStagingSuffix);
}

bool removeStaleFolder(const QString &path, const QStringList &names)
{
    struct stat st
    {
    };
    if (::lstat(encoded(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || st.st_mtime >= std::time(nullptr) - kStaleSeconds)
        return false;
    int err = 0;
    const std::optional<std::vector<Entry>> entries = listFolder(path, err);
    if (!entries)
        return false;
    const QString ownPrefix = QString::fromLatin1(kTemporaryPrefix);
    for (const Entry &entry : *entries)
        if (!S_ISREG(entry.mode) ||
            (!names.contains(entry.name) && !entry.name.startsWith(ownPrefix)))
            return false;
    for (const Entry &entry : *entries)
        ::unlink(encoded(path + u'/' + entry.name).constData());
    return ::rmdir(encoded(path).constData()) == 0;
}

SafeWriteResult writeFolderSafely(const QString &folder, const std::vector<FolderFile> &files,
                                  ExistingFolder existing, const SafeWriteOptions &options)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    struct stat st
    {
    };
    if (::lstat(encoded(path).constData(), &st) != 0) {
        if (errno != ENOENT)
            return failure(path, errno);
        return createFolder(path, files, options);
    }
    if (S_ISLNK(st.st_mode))
        return refused(path, QStringLiteral("Это символическая ссылка, она не заменяется."));
    if (!S_ISDIR(st.st_mode))
        return refused(path, QStringLiteral("Это не папка."));
    if (existing == ExistingFolder::Refuse)
        return refused(path, QStringLiteral("Папка уже есть."));
    return replaceInFolder(path, st, files, options);
}

} // namespace vexilo
