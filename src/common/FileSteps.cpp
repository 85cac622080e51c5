#include "FileSteps.h"

#include "common/BatchJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace vexilo::filesteps {

namespace {

// Links followed before giving up, as the system itself does.
constexpr int kMaxLinks = 40;
// A temporary file untouched this long belongs to a save that died; a younger one may belong
// to a save running right now in another copy of the program.
constexpr time_t kStaleSeconds = 60;
constexpr int kRandomLetters = 6;

} // namespace

DescriptorDevice::DescriptorDevice(int fd) : m_fd(fd) {}

qint64 DescriptorDevice::writeData(const char *data, qint64 length)
{
    if (m_error != 0)
        return -1;
    m_pending.append(data, length);
    if (m_pending.size() >= kChunk && !flushAll())
        return -1;
    return length;
}

bool DescriptorDevice::flushAll()
{
    qsizetype done = 0;
    while (m_error == 0 && done < m_pending.size()) {
        const ssize_t n = ::write(m_fd, m_pending.constData() + done,
                                  static_cast<size_t>(m_pending.size() - done));
        if (n < 0 && errno != EINTR)
            m_error = errno;
        else if (n == 0)
            m_error = EIO;
        else if (n > 0)
            done += n;
    }
    m_pending.remove(0, done);
    return m_error == 0;
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString tooLongMessage(const QString &path)
{
    return QStringLiteral("Имя файла «%1» слишком длинное.").arg(QFileInfo(path).fileName());
}

SafeWriteResult failure(const QString &path, int err)
{
    SafeWriteResult result;
    result.ok = false;
    result.path = path;
    result.writeProtected = isWriteProtectedError(err);
    result.errorString = err == ENAMETOOLONG ? tooLongMessage(path) : describeSystemError(err);
    if (result.errorString.isEmpty())
        result.errorString = QStringLiteral("Не удалось записать файл.");
    return result;
}

SafeWriteResult notAFile(const QString &path)
{
    SafeWriteResult result;
    result.ok = false;
    result.path = path;
    result.errorString = QStringLiteral("Это не обычный файл, а канал, устройство или сокет.");
    return result;
}

// The file a path names with its final symbolic links followed, so that the link stays and
// its target is written; a dangling link gives the path it points to.
std::optional<QString> resolveLinks(const QString &path, int &err)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st
        {
        };
        if (::lstat(encoded(current).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n =
            ::readlink(encoded(current).constData(), target.data(), size_t(target.size()));
        if (n < 0) {
            err = errno;
            return std::nullopt;
        }
        target.truncate(n);
        const QString link = QFile::decodeName(target);
        current =
            QDir::isAbsolutePath(link) ? link : QFileInfo(current).absolutePath() + u'/' + link;
    }
    err = ELOOP;
    return std::nullopt;
}

bool nameTooLong(const QString &target)
{
    const QFileInfo info(target);
    long limit = ::pathconf(encoded(info.absolutePath()).constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    return encoded(info.fileName()).size() > limit;
}

bool nobodyMayWrite(const struct stat &st)
{
    return (st.st_mode & 0222) == 0;
}

bool mayWrite(const QString &target)
{
    return ::faccessat(AT_FDCWD, encoded(target).constData(), W_OK, AT_EACCESS) == 0;
}

// What may not be replaced: a folder, anything but a regular file, and a file without write
// permission, which stays as it is even for root and even though a rename would work.
std::optional<SafeWriteResult> refusal(const QString &path, const QString &target,
                                       const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return failure(path, EISDIR);
    if (!S_ISREG(st.st_mode))
        return notAFile(path);
    if (nobodyMayWrite(st))
        return failure(path, EACCES);
    if (!mayWrite(target))
        return failure(path, errno);
    return std::nullopt;
}

QString ownName(const char *suffix)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = QString::fromLatin1(kTemporaryPrefix);
    for (int i = 0; i < kRandomLetters; ++i)
        name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    return name + QString::fromLatin1(suffix);
}

bool isOwnName(const QString &name, const char *suffix)
{
    const QString prefix = QString::fromLatin1(kTemporaryPrefix);
    const QString end = QString::fromLatin1(suffix);
    if (name.size() != prefix.size() + kRandomLetters + end.size() || !name.startsWith(prefix) ||
        !name.endsWith(end))
        return false;
    for (qsizetype i = prefix.size(); i < prefix.size() + kRandomLetters; ++i)
        if (!name[i].isLetterOrNumber() || name[i].unicode() > 127)
            return false;
    return true;
}

bool isTemporaryName(const QString &name)
{
    return isOwnName(name, kTemporarySuffix);
}

// A new, empty temporary file of this program's pattern in the folder; -1 with errno set.
// The name is short, so it fits beside any name the folder can hold.
int createTemporary(const QString &folder, QString &name, mode_t mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = folder + u'/' + ownName(kTemporarySuffix);
        const int fd =
            ::open(encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            name = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// The new file gets the old one's permissions and owner, or the usual ones for a new file.
void takeOldModes(int fd, bool exists, const struct stat &old)
{
    if (!exists)
        return; // created with the usual mode, the umask applied by the system

    if (::geteuid() == 0) {
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// Runs `produce` on the open descriptor; the system error number of a failure, or 0.
int produceInto(int fd, const Producer &produce, Durability durability)
{
    DescriptorDevice device(fd);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool produced = produce(device);
    const bool flushed = device.flushAll();
    if (!produced || !flushed)
        // The write's own error; an encoder that gave up without one is an input-output error.
        return device.writeError() != 0 ? device.writeError() : EIO;
    if (durability == Durability::Synced && ::fsync(fd) != 0)
        return errno;
    return 0;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // some file systems cannot sync a folder; the rename is done all the same
    ::close(fd);
}

// Temporary files of this program's pattern that saves killed half-way left in the folder.
void removeStaleTemporaries(const QString &folder, bool anyAge)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QString::fromLatin1(kTemporaryPrefix) + u'*'},
                      QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    const time_t now = std::time(nullptr);
    // A commit cut short still needs these to complete its set.
    const QStringList named = batchjournal::journalTemporaries(folder);
    for (const QString &name : names) {
        if (!isTemporaryName(name) || named.contains(name))
            continue;
        const QByteArray path = encoded(dir.filePath(name));
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && (anyAge || st.st_mtime < now - kStaleSeconds))
            ::unlink(path.constData());
    }
}

// Rewrites the file itself: not crash-safe, the one way left when its folder takes no file.
int writeInPlace(const QString &target, const QByteArray &content, Durability durability,
                 const SafeWriteHook &hook)
{
    if (const int fault = hook ? hook(SafeWriteStage::OpenInPlace) : 0)
        return fault;
    const int fd =
        ::open(encoded(target).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st
    {
    };
    int err = ::fstat(fd, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EISDIR);
    // The space is taken first, so that a full disk refuses the save before the old content is
    // touched; file systems that cannot reserve space are written all the same.
    if (err == 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(content.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT))
        err = errno;
    qsizetype done = 0;
    while (err == 0 && done < content.size()) {
        const ssize_t n =
            ::pwrite(fd, content.constData() + done, size_t(content.size() - done), off_t(done));
        if (n < 0 && errno != EINTR)
            err = errno;
        else if (n == 0)
            err = EIO; // a write that takes nothing would be retried for ever
        else if (n > 0)
            done += n;
    }
    if (err == 0 && ::ftruncate(fd, off_t(content.size())) != 0)
        err = errno;
    if (err == 0 && durability == Durability::Synced && ::fsync(fd) != 0)
        err = errno;
    ::close(fd);
    return err;
}

} // namespace vexilo::filesteps
