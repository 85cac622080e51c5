#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace vexilo {

struct SafeWriteResult
{
    bool ok = true;
    // The system's description of what went wrong, in Russian where we know the error.
    QString errorString;
    // Permission denied, a read-only file or a read-only file system.
    bool writeProtected = false;
};

// Writes the whole file through a temporary file in the same folder and renames it over the
// target, so a crash, a full disk or a failed write leaves the old file whole.
SafeWriteResult writeFileSafely(const QString &path, const QByteArray &data);

// Synced files are flushed to the disk before the rename, so even a power cut leaves the old
// or the new file; exported pictures skip that, for speed.
enum class Durability { Synced, Unsynced };

// The same, for content produced straight into the temporary file by `produce`, which
// returns false when it could not write everything.
SafeWriteResult writeFileSafely(const QString &path,
                                const std::function<bool(QIODevice &)> &produce,
                                Durability durability = Durability::Synced);

// Whether a system error number means the file or its folder may not be written.
bool isWriteProtectedError(int errnoValue);

// Russian text for the system errors a save can meet; empty for the others.
QString describeSystemError(int errnoValue);

// Test seam: after `writesToPass` more successful saves, every save fails at the given stage.
enum class SafeWriteFault { None, Open, Write, Rename };
void setSafeWriteFaultForTesting(SafeWriteFault fault, int errnoValue, int writesToPass = 0);

} // namespace vexilo
