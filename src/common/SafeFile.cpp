#include "SafeFile.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

namespace {

struct InjectedFault
{
    SafeWriteFault stage = SafeWriteFault::None;
    int errnoValue = 0;
    int writesToPass = 0; // saves that still succeed before the fault strikes
};

InjectedFault &injectedFault()
{
    static InjectedFault fault;
    return fault;
}

SafeWriteResult failure(int err, const QString &fallback)
{
    SafeWriteResult result;
    result.ok = false;
    result.writeProtected = isWriteProtectedError(err);
    result.errorString = describeSystemError(err);
    if (result.errorString.isEmpty())
        result.errorString = fallback;
    return result;
}

bool injected(SafeWriteFault stage)
{
    return injectedFault().stage == stage && injectedFault().writesToPass == 0;
}

} // namespace

bool isWriteProtectedError(int errnoValue)
{
    return errnoValue == EACCES || errnoValue == EPERM || errnoValue == EROFS;
}

QString describeSystemError(int errnoValue)
{
    switch (errnoValue) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Отказано в доступе.");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения.");
    case ENOSPC:
        return QStringLiteral("На диске не осталось свободного места.");
    case EDQUOT:
        return QStringLiteral("Превышена дисковая квота.");
    case ENOENT:
        return QStringLiteral("Путь не найден.");
    case EISDIR:
        return QStringLiteral("Указанное имя занято папкой.");
    case ENOTDIR:
        return QStringLiteral("Часть пути не является папкой.");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла.");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода.");
    default:
        return {};
    }
}

void setSafeWriteFaultForTesting(SafeWriteFault fault, int errnoValue, int writesToPass)
{
    injectedFault() = {fault, errnoValue, writesToPass};
}

SafeWriteResult writeFileSafely(const QString &path, const QByteArray &data)
{
    return writeFileSafely(
        path, [&data](QIODevice &device) { return device.write(data) == data.size(); });
}

SafeWriteResult writeFileSafely(const QString &path,
                                const std::function<bool(QIODevice &)> &produce,
                                Durability durability)
{
    const QFileInfo info(path);
    if (info.isDir())
        return failure(EISDIR, {});
    // A file the user marked read-only stays as it is, even though renaming over it would work.
    if (info.exists() && !info.isWritable())
        return failure(EACCES, {});

    // The temporary file sits beside the target, so the final rename stays on one file system
    // and replaces the old file in one step.
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    errno = 0;
    if (injected(SafeWriteFault::Open))
        return failure(injectedFault().errnoValue, {});
    if (!file.open())
        return failure(errno, file.errorString());

    // The new file gets the old one's permissions, or the usual ones for a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old
    {
    };
    const mode_t mode = ::stat(QFile::encodeName(path).constData(), &old) == 0
                            ? (old.st_mode & 07777)
                            : (0666 & ~mask);
    ::fchmod(file.handle(), mode);

    errno = 0;
    // An injected write fault strikes after the content went into the temporary file, as a
    // full disk would when the data reaches it.
    const bool written = produce(file) && !injected(SafeWriteFault::Write) && file.flush() &&
                         (durability == Durability::Unsynced || ::fsync(file.handle()) == 0);
    if (!written) {
        const int err = injected(SafeWriteFault::Write) ? injectedFault().errnoValue : errno;
        return failure(err, file.errorString()); // the temporary file goes with `file`
    }
    if (injected(SafeWriteFault::Rename))
        return failure(injectedFault().errnoValue, {});
    file.close();
    errno = 0;
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return failure(errno, {});
    file.setAutoRemove(false);
    if (injectedFault().writesToPass > 0)
        --injectedFault().writesToPass;
    return {};
}

} // namespace vexilo
