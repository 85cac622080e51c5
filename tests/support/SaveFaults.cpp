#include "SaveFaults.h"

#include <QFile>

#include <ctime>
#include <memory>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vexilo::test {

SafeWriteHook failAt(SafeWriteStage stage, int err, int passes)
{
    auto left = std::make_shared<int>(passes);
    return [=](SafeWriteStage now) {
        if (now != stage)
            return 0;
        return (*left)-- > 0 ? 0 : err;
    };
}

SafeWriteHook failOpening(int err)
{
    return [err](SafeWriteStage now) {
        return now == SafeWriteStage::CreateTemporary || now == SafeWriteStage::OpenInPlace ? err
                                                                                            : 0;
    };
}

void ageFile(const QString &path, int seconds)
{
    timespec times[2] = {};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

int runAsNobody(const std::function<int()> &body)
{
    const passwd *nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr)
        return -1;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(120);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 120 ? -1 : WEXITSTATUS(status);
}

} // namespace vexilo::test
