#include "RuntimeFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

void provideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t user = ::geteuid();
    const passwd *entry = ::getpwuid(user);
    const QByteArray name = entry ? QByteArray(entry->pw_name) : QByteArray::number(user);
    const QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/runtime-" + name;
    if (::mkdir(folder.constData(), 0700) == 0)
        (void)::chmod(folder.constData(), 0700); // whatever the umask took away
    struct stat info
    {
    };
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user ||
        (info.st_mode & 07777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}

} // namespace vexilo
