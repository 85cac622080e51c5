#pragma once

#include <QString>

#include <cstdint>

namespace vexilo {

// What tells, without reading it, that a file is no longer the one a copy of the program read
// or wrote last: another copy's save renames a new file over it (a new inode) or rewrites it in
// place (a new time and size). Links are followed.
struct FileStamp
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

FileStamp stampOf(const QString &path);

} // namespace vexilo
