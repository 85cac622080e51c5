#include "AppIcon.h"

namespace vexilo {

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/vexilo/vexilo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vexilo
