#pragma once

#include "common/SafeFile.h"

#include <QString>

#include <optional>

// What is checked and kept before a save: whether it can happen, and a copy of a file that
// was not read whole.
namespace vexilo {

// Why a save to `path` would be refused before anything is written (a file that may not be
// replaced, a folder that takes no file and no file to write in place, a name too long), with
// the message a save would give; nothing when the save may go ahead.
std::optional<SafeWriteResult> writeRefusal(const QString &path);

// Copies a regular file beside itself under the first free name of path + ".bak", ".bak2" …,
// overwriting nothing. Returns the copy's path.
std::optional<QString> keepBackupCopy(const QString &path, SafeWriteResult &failure);

// Why files cannot be saved as `targetPath` (its folder is missing, is no folder, or takes no
// files; or the name is too long; or, for a save of several files, its journal cannot be
// written), in Russian; nothing when they can. An export into the folder that was cut short is
// completed first.
std::optional<QString> outputFolderProblem(const QString &targetPath, qsizetype files = 1);

} // namespace vexilo
