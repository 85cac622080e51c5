#pragma once

#include "common/SafeFile.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vexilo {

// One file of a folder written by writeFolderSafely: its name inside the folder and its content.
struct FolderFile
{
    QString name;
    Producer produce;
};

// What writeFolderSafely does with a folder that is already there.
enum class ExistingFolder {
    Refuse,          // leaves it as it is
    ReplaceOwnFiles, // replaces the files, when it holds nothing but regular files of their names
};

// Writes a folder of files so that nobody sees it half-written and nothing but those files is
// ever replaced.
// A new folder is filled under a hidden staging name beside it (".vexilo-XXXXXX.dir", made with
// the umask's mode) and renamed into place, never over anything that appeared meanwhile; its
// parents are made when missing. An existing folder, when allowed, must be one the user can
// list and write, not the home folder, and hold only regular files of the written names; they
// are replaced through one SafeFileBatch, so a failure before the commit leaves them as they
// were. A symbolic link or anything else in the folder's place is refused.
// Every file is synced before anything is renamed when the options ask for it (the default).
SafeWriteResult writeFolderSafely(const QString &folder, const std::vector<FolderFile> &files,
                                  ExistingFolder existing, const SafeWriteOptions &options = {});

// Removes `path` when it is a folder a killed write left behind: owned by this user, untouched
// for a minute, holding nothing but regular files named in `names` or of this program's
// temporary pattern. Anything else stays. Returns whether it was removed.
bool removeStaleFolder(const QString &path, const QStringList &names);

// Whether a name is of the staging pattern of writeFolderSafely.
bool isStagingFolderName(const QString &name);

} // namespace vexilo
