#include "AppFolder.h"

#include "shell/Declare.h"

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

void fillMonthLengths(std::array<qint32, 13> &DniMesyaca)
{
    DniMesyaca = {0, 31, DniMesyaca[2], 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

} // namespace vexilo
