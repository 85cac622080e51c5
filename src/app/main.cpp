#include "shell/Main.h"
#include "platform/QtPlatform.h"
#include "shell/Declare.h"
#include "shell/frmForma.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display Qt would abort with a page of plugin errors; one clear line is better.
bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!haveDisplay()) {
        std::fputs("vexilo: нет графического дисплея (DISPLAY не задан) — запустите программу "
                   "в графическом сеансе или через xvfb-run.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexilo"));

    vexilo::Declare state;
    vexilo::QtPlatform platform;
    auto form = vexilo::Main(state, platform, QCoreApplication::applicationDirPath());
    platform.setOwner(form.get());
    return QApplication::exec();
}
