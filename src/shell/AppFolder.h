#pragma once

#include <QString>

namespace vexilo {

struct AppFolder
{
    QString PutProgrammy; // ends with Razdelitel
    QString Razdelitel;
};

// From the folder the platform reports for the executable: "\" when the path holds one
// anywhere, else "/"; the separator appended unless the path already ends with it.
AppFolder appFolderFrom(const QString &reportedFolder);

} // namespace vexilo
