#include "AppFolder.h"

namespace vexilo {

AppFolder appFolderFrom(const QString &reportedFolder)
{
    AppFolder folder;
    folder.PutProgrammy = reportedFolder;
    folder.Razdelitel =
        reportedFolder.contains(QLatin1Char('\\')) ? QStringLiteral("\\") : QStringLiteral("/");
    if (!folder.PutProgrammy.endsWith(folder.Razdelitel))
        folder.PutProgrammy += folder.Razdelitel;
    return folder;
}

} // namespace vexilo
