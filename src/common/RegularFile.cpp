#include "RegularFile.h"

#include <QFile>

#include <algorithm>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

FileOpening openRegularFile(QFile &file, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileOpening::Missing : FileOpening::Unreadable;
    // Checked before opening, since opening some devices already does something.
    if (!S_ISREG(st.st_mode))
        return FileOpening::NotRegular;
    // Non-blocking, and checked again on the open file, in case the name changed meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FileOpening::Missing : FileOpening::Unreadable;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileOpening::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
               ? FileOpening::Opened
               : FileOpening::Unreadable;
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 limit)
{
    QFile file;
    if (openRegularFile(file, path) != FileOpening::Opened || file.size() > limit)
        return std::nullopt;
    // Read what the file holds, not a buffer of the largest size allowed; one byte more tells a
    // file that grew past the limit.
    QByteArray bytes = file.read(std::min(file.size(), limit) + 1);
    if (bytes.isEmpty() || bytes.size() > limit)
        return std::nullopt;
    return bytes;
}

} // namespace vexilo
