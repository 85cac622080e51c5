#include "cli/RenderCommand.h"
#include "common/RuntimeFolder.h"
#include "common/Version.h"
#include "shell/AppPaths.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Drawing needs no window and so no display.
    vexilo::provideRuntimeFolder();
    QCoreApplication app(argc, argv);
    vexilo::setApplicationIdentity();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status =
        vexilo::runRender(QCoreApplication::arguments(), out, err,
                          vexilo::locateAppPaths(QCoreApplication::applicationDirPath()));
    out.flush();
    err.flush();
    return status;
}
