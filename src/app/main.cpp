#include "shell/Main.h"
#include "common/CommandLine.h"
#include "common/RuntimeFolder.h"
#include "common/Version.h"
#include "platform/QtPlatform.h"
#include "shell/Declare.h"
#include "shell/QtTranslations.h"
#include "shell/frmForma.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Without a display Qt would abort with a page of plugin errors; one clear line is better.
bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Printed without a display, like the version.
bool printHelpIfAsked(int argc, char *argv[])
{
    if (argc != 2 || (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0))
        return false;
    const QString text = vexilo::helpText(
        {QStringLiteral("vexilo"),
         QStringLiteral("[параметры]"),
         QStringLiteral("Открывает окно «Создатель календарей Vexilo»: календарный лист на год "
                        "или месяц из картинок цифр и дней недели."),
         {vexilo::helpOption(), vexilo::versionOption()},
         QStringLiteral("Коды выхода: 0 — окно закрыто; 1 — нет графического дисплея.")});
    std::fputs(text.toUtf8().constData(), stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (vexilo::printVersionIfAsked(argc, argv, "vexilo"))
        return 0;
    if (printHelpIfAsked(argc, argv))
        return 0;
    if (!haveDisplay()) {
        std::fputs("vexilo: нет графического дисплея (DISPLAY не задан) — запустите программу "
                   "в графическом сеансе или через xvfb-run.\n",
                   stderr);
        return 1;
    }
    vexilo::provideRuntimeFolder();
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
