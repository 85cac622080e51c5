#include "shell/Main.h"
#include "common/Version.h"
#include "platform/QtPlatform.h"
#include "shell/Declare.h"
#include "shell/QtTranslations.h"
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
    if (vexilo::printVersionIfAsked(argc, argv, "vexilo"))
        return 0;
    if (!haveDisplay()) {
        std::fputs("vexilo: нет графического дисплея (DISPLAY не задан) — запустите программу "
                   "в графическом сеансе или через xvfb-run.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    vexilo::setApplicationIdentity();
    QGuiApplication::setDesktopFileName(vexilo::applicationId());
    const auto russian = vexilo::installQtRussian();

    vexilo::Declare state;
    vexilo::QtPlatform platform;
    auto form = vexilo::Main(state, platform, QCoreApplication::applicationDirPath());
    platform.setOwner(form.get());
    return QApplication::exec();
}
