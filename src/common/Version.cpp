#include "Version.h"

#include "BuildInfo.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace vexilo {

QString projectVersion()
{
    return QStringLiteral(VEXILO_VERSION);
}

QString applicationId()
{
    return QStringLiteral(VEXILO_APP_ID);
}

QString versionLine(const QString &program)
{
    return program + QLatin1Char(' ') + projectVersion();
}

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Vexilo"));
    QCoreApplication::setApplicationVersion(projectVersion());
}

bool printVersionIfAsked(int argc, char *argv[], const char *program)
{
    if (argc != 2 || (std::strcmp(argv[1], "--version") != 0 && std::strcmp(argv[1], "-v") != 0))
        return false;
    std::printf("%s\n", versionLine(QString::fromUtf8(program)).toUtf8().constData());
    std::fflush(stdout);
    return true;
}

} // namespace vexilo
