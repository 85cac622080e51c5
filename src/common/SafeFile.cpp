#include "SafeFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace vexilo {

namespace {

struct InjectedFault
{
    SafeWriteFault stage = SafeWriteFault::None;
    int errnoValue = 0;
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
    return injectedFault().stage == stage;
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

void setSafeWriteFaultForTesting(SafeWriteFault fault, int errnoValue)
{
    injectedFault() = {fault, errnoValue};
}

SafeWriteResult writeFileSafely(const QString &path, const QByteArray &data)
{
    return writeFileSafely(
        path, [&data](QIODevice &device) { return device.write(data) == data.size(); });
}

SafeWriteResult writeFileSafely(const QString &path,
                                const std::function<bool(QIODevice &)> &produce)
{
    const QFileInfo info(path);
    if (info.isDir())
        return failure(EISDIR, {});
    // A file the user marked read-only stays as it is, even though renaming over it would work.
    if (info.exists() && !info.isWritable())
        return failure(EACCES, {});

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (injected(SafeWriteFault::Open))
        return failure(injectedFault().errnoValue, {});
    if (!file.open(QIODevice::WriteOnly))
        return failure(errno, file.errorString());

    errno = 0;
    const bool written = !injected(SafeWriteFault::Write) && produce(file);
    if (!written) {
        const int err = injected(SafeWriteFault::Write) ? injectedFault().errnoValue : errno;
        const QString qtError = file.errorString();
        file.cancelWriting();
        file.commit(); // removes the temporary file, leaves the target alone
        return failure(err, qtError);
    }
    errno = 0;
    if (injected(SafeWriteFault::Rename)) {
        file.cancelWriting();
        file.commit();
        return failure(injectedFault().errnoValue, {});
    }
    if (!file.commit())
        return failure(errno, file.errorString());
    return {};
}

} // namespace vexilo
