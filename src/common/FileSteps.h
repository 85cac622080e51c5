#pragma once

#include "common/SafeFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

#include <sys/stat.h>

// The system calls a safe save is made of, shared by the writers in SafeFile.
namespace vexilo::filesteps {

QByteArray encoded(const QString &path);

// "Имя файла «name» слишком длинное."
QString tooLongMessage(const QString &path);

// A failed result for the system error number, its Russian description never empty.
SafeWriteResult failure(const QString &path, int err);
// A pipe, a device or a socket where a file was expected.
SafeWriteResult notAFile(const QString &path);

// The file a path names with its final symbolic links followed, so that the link stays and
// its target is written; a dangling link gives the path it points to. Nothing, with `err`
// set, for a loop or an unreadable link.
std::optional<QString> resolveLinks(const QString &path, int &err);

// Whether the last component is longer than the folder's file system allows.
bool nameTooLong(const QString &target);

bool nobodyMayWrite(const struct stat &st);
bool mayWrite(const QString &target);

// What may not be replaced: a folder, anything but a regular file, and a file without write
// permission, which stays as it is even for root and even though a rename would work.
std::optional<SafeWriteResult> refusal(const QString &path, const QString &target,
                                       const struct stat &st);

// A new name of this program's own hidden pattern: the prefix, random letters, the suffix.
QString ownName(const char *suffix);
// Whether a name is of that pattern with that suffix.
bool isOwnName(const QString &name, const char *suffix);
// Whether a name is of this program's temporary-file pattern.
bool isTemporaryName(const QString &name);

// A new, empty temporary file of this program's pattern in the folder; -1 with errno set.
// The name is short, so it fits beside any name the folder can hold. The system takes the
// umask off `mode`: a new file gets the usual permissions without the umask being changed,
// which would race with every other thread of the process.
int createTemporary(const QString &folder, QString &name, mode_t mode = 0600);

// The file that replaces an old one gets the old one's permissions and owner; a new file keeps
// the mode it was created with.
void takeOldModes(int fd, bool exists, const struct stat &old);

// A descriptor as a device for the encoders, which keeps the system error of the write that
// failed: errno read after an encoder gave up may be that of anything the encoder did.
class DescriptorDevice final : public QIODevice
{
public:
    explicit DescriptorDevice(int fd);
    // Writes what is still buffered; false once a write failed.
    bool flushAll();
    int writeError() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    static constexpr qsizetype kChunk = 256 * 1024;
    int m_fd;
    int m_error = 0;
    QByteArray m_pending;
};

// Runs `produce` on the open descriptor, synced when asked; the system error number of a
// failure, or 0.
int produceInto(int fd, const Producer &produce, Durability durability);

// Puts the folder's entries on the disk, so that a rename in it survives a power cut.
void syncFolder(const QString &folder);

// Removes temporary files of this program's pattern that saves killed half-way left in the
// folder, once they are older than a minute, except those a journal still names; nothing else.
// `anyAge`: of any age, for a caller that holds the folder's lock while it writes there, so that
// no copy of the program that writes the same way is using them.
void removeStaleTemporaries(const QString &folder, bool anyAge = false);

// Rewrites the file itself: not crash-safe, the one way left when its folder takes no file.
// The system error number of a failure, or 0.
int writeInPlace(const QString &target, const QByteArray &content, Durability durability,
                 const SafeWriteHook &hook);

} // namespace vexilo::filesteps
