#include "cli/RenderCommand.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Drawing needs no window and so no display.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = vexilo::runRender(QCoreApplication::arguments(), out, err,
                                         QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    out.flush();
    err.flush();
    return status;
}
