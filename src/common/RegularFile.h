#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

namespace vexilo {

enum class FileOpening { Opened, Missing, NotRegular, Unreadable };

// Opens a user's file for reading. Only a regular file (links followed) is opened: a pipe or a
// device of that name would block the program or never end, and a folder holds no text.
FileOpening openRegularFile(QFile &file, const QString &path);

// The whole of a regular, non-empty file of at most `limit` bytes, opened as above; nothing
// for anything else.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 limit);

} // namespace vexilo
