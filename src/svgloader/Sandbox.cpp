#include "Sandbox.h"

#include <linux/landlock.h>
#include <seccomp.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vexilo::svgloader {

namespace {

void limit(int resource, rlim_t value)
{
    const rlimit bound{value, value};
    setrlimit(resource, &bound);
}

void closeInheritedFiles()
{
#ifdef SYS_close_range
    if (syscall(SYS_close_range, 3U, ~0U, 0U) == 0)
        return;
#endif
    for (int fd = 3; fd < 4096; ++fd)
        close(fd);
}

// Landlock: every file right is handled, and only reading is granted, beneath the folders
// the libraries and fonts live in.
void enterLandlock()
{
    const long abi =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1)
        return;
    landlock_ruleset_attr attr{};
    attr.handled_access_fs =
        LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_READ_FILE |
        LANDLOCK_ACCESS_FS_READ_DIR | LANDLOCK_ACCESS_FS_REMOVE_DIR |
        LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR |
        LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_MAKE_SOCK |
        LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;
#ifdef LANDLOCK_ACCESS_FS_REFER
    if (abi >= 2)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
#endif
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
    if (abi >= 3)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
#endif
    const int ruleset =
        static_cast<int>(syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0U));
    if (ruleset < 0)
        return;
    const auto allowReading = [ruleset](const std::string &path) {
        const int folder = open(path.c_str(), O_PATH | O_CLOEXEC);
        if (folder < 0)
            return;
        landlock_path_beneath_attr beneath{};
        beneath.allowed_access = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
        beneath.parent_fd = folder;
        syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0U);
        close(folder);
    };
    for (const char *path : {"/usr", "/etc", "/var/cache/fontconfig", "/proc/self"})
        allowReading(path);
    // The user's own fonts and fontconfig's cache of them.
    const auto fromEnv = [](const char *name, const char *fallbackBelowHome) -> std::string {
        if (const char *value = std::getenv(name); value != nullptr && *value == '/')
            return value;
        const char *home = std::getenv("HOME");
        return home != nullptr && *home == '/' ? std::string(home) + fallbackBelowHome
                                               : std::string();
    };
    const std::string data = fromEnv("XDG_DATA_HOME", "/.local/share");
    const std::string cache = fromEnv("XDG_CACHE_HOME", "/.cache");
    if (!data.empty())
        allowReading(data + "/fonts");
    if (!cache.empty())
        allowReading(cache + "/fontconfig");
    if (const char *home = std::getenv("HOME"); home != nullptr && *home == '/')
        allowReading(std::string(home) + "/.fonts");
    syscall(SYS_landlock_restrict_self, ruleset, 0U);
    close(ruleset);
}

// One comparison of a system call's argument; for a masked one, `a` is the mask and `b` the
// value the masked bits must have.
scmp_arg_cmp argument(unsigned index, scmp_compare op, scmp_datum_t a, scmp_datum_t b = 0)
{
    scmp_arg_cmp compare{};
    compare.arg = index;
    compare.op = op;
    compare.datum_a = a;
    compare.datum_b = b;
    return compare;
}

void enterSeccomp()
{
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (filter == nullptr)
        return;
    const auto deny = [filter](int call, unsigned count = 0, const scmp_arg_cmp *arg = nullptr) {
        seccomp_rule_add_array(filter, SCMP_ACT_ERRNO(EPERM), call, count, arg);
    };
    for (int call : {SCMP_SYS(execve),
                     SCMP_SYS(execveat),
                     SCMP_SYS(fork),
                     SCMP_SYS(vfork),
                     SCMP_SYS(ptrace),
                     SCMP_SYS(process_vm_readv),
                     SCMP_SYS(process_vm_writev),
                     SCMP_SYS(socket),
                     SCMP_SYS(connect),
                     SCMP_SYS(bind),
                     SCMP_SYS(listen),
                     SCMP_SYS(accept),
                     SCMP_SYS(accept4),
                     SCMP_SYS(creat),
                     SCMP_SYS(truncate),
                     SCMP_SYS(mkdir),
                     SCMP_SYS(mkdirat),
                     SCMP_SYS(rmdir),
                     SCMP_SYS(unlink),
                     SCMP_SYS(unlinkat),
                     SCMP_SYS(rename),
                     SCMP_SYS(renameat),
                     SCMP_SYS(renameat2),
                     SCMP_SYS(link),
                     SCMP_SYS(linkat),
                     SCMP_SYS(symlink),
                     SCMP_SYS(symlinkat),
                     SCMP_SYS(mknod),
                     SCMP_SYS(mknodat),
                     SCMP_SYS(chmod),
                     SCMP_SYS(fchmod),
                     SCMP_SYS(fchmodat),
                     SCMP_SYS(chown),
                     SCMP_SYS(fchown),
                     SCMP_SYS(lchown),
                     SCMP_SYS(fchownat),
                     SCMP_SYS(utimensat),
                     SCMP_SYS(utimes),
                     SCMP_SYS(setxattr),
                     SCMP_SYS(lsetxattr),
                     SCMP_SYS(fsetxattr),
                     SCMP_SYS(removexattr),
                     SCMP_SYS(mount),
                     SCMP_SYS(umount2),
                     SCMP_SYS(pivot_root),
                     SCMP_SYS(chroot),
                     SCMP_SYS(setns),
                     SCMP_SYS(unshare),
                     SCMP_SYS(setrlimit),
                     SCMP_SYS(bpf),
                     SCMP_SYS(perf_event_open),
                     SCMP_SYS(keyctl),
                     SCMP_SYS(add_key),
                     SCMP_SYS(request_key),
                     SCMP_SYS(userfaultfd),
                     SCMP_SYS(io_uring_setup),
                     SCMP_SYS(io_uring_enter),
                     SCMP_SYS(io_uring_register),
                     SCMP_SYS(init_module),
                     SCMP_SYS(finit_module),
                     SCMP_SYS(delete_module),
                     SCMP_SYS(kexec_load),
                     SCMP_SYS(tkill),
                     SCMP_SYS(name_to_handle_at),
                     SCMP_SYS(open_by_handle_at)})
        deny(call);
    // Threads, yes; new processes, no. clone3 hides its flags from the filter, so it is
    // answered "not there" and the C library falls back on clone.
    const scmp_arg_cmp noThread = argument(0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0);
    deny(SCMP_SYS(clone), 1, &noThread);
    seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0);
    seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(openat2), 0);
    // Files open for reading only.
    for (const int flag : {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC, O_APPEND}) {
        const auto bits = static_cast<scmp_datum_t>(flag);
        const scmp_arg_cmp openFlags = argument(1, SCMP_CMP_MASKED_EQ, bits, bits);
        deny(SCMP_SYS(open), 1, &openFlags);
        const scmp_arg_cmp openatFlags = argument(2, SCMP_CMP_MASKED_EQ, bits, bits);
        deny(SCMP_SYS(openat), 1, &openatFlags);
    }
    // Signals to itself only (abort raises one); limits may be read, not raised.
    const auto self = static_cast<scmp_datum_t>(getpid());
    const scmp_arg_cmp notSelf = argument(0, SCMP_CMP_NE, self);
    deny(SCMP_SYS(kill), 1, &notSelf);
    deny(SCMP_SYS(tgkill), 1, &notSelf);
    const scmp_arg_cmp setsLimit = argument(2, SCMP_CMP_NE, 0);
    deny(SCMP_SYS(prlimit64), 1, &setsLimit);
    const scmp_arg_cmp typesIntoTerminal = argument(1, SCMP_CMP_EQ, TIOCSTI);
    deny(SCMP_SYS(ioctl), 1, &typesIntoTerminal);
    seccomp_load(filter);
    seccomp_release(filter);
}

} // namespace

void applyLimits(const Limits &limits)
{
    // Orphaned, it would go on drawing for nobody.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    closeInheritedFiles();
    if (chdir("/") != 0)
        std::_Exit(3);
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_FSIZE, 0);
    if (limits.cpuSeconds > 0)
        limit(RLIMIT_CPU, static_cast<rlim_t>(limits.cpuSeconds));
#ifndef VEXILO_SANITIZED
    // The sanitizers reserve terabytes of shadow memory; their builds bound memory by their
    // own option, set by the program that starts the loader.
    if (limits.addressSpaceMb > 0)
        limit(RLIMIT_AS, static_cast<rlim_t>(limits.addressSpaceMb) << 20);
#endif
}

void enterSandbox()
{
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return;
    enterLandlock();
    enterSeccomp();
}

} // namespace vexilo::svgloader
