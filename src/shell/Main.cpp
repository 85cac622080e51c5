#include "Main.h"

#include "common/ProgramText.h"
#include "holidays/PrazdnikiFile.h"
#include "platform/Platform.h"
#include "shell/AppFolder.h"
#include "shell/AppIcon.h"
#include "shell/AppPaths.h"
#include "shell/Declare.h"
#include "shell/OptionsForm.h"
#include "shell/frmForma.h"

#include <QDir>
#include <QGuiApplication>

namespace vexilo {

std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const QString &reportedFolder)
{
    return Main(state, platform, locateAppPaths(appFolderFrom(reportedFolder).PutProgrammy));
}

std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const AppPaths &paths)
{
    const AppFolder folder = appFolderFrom(paths.programFolder());
    state.Razdelitel = folder.Razdelitel;
    state.paths = paths;
    // The user's data folder is there before anything is saved into it.
    const bool userFolderMissing = !paths.isBesideProgram() && !QDir().mkpath(paths.userFolder());
    fillMonthLengths(state.DniMesyaca);
    OpenPrazdniki(state.Prazdniki, state.paths.prazdnikiFile());

    QGuiApplication::setWindowIcon(applicationIcon());
    auto form = std::make_unique<frmForma>(state, platform);
    form->show();
    if (userFolderMissing)
        platform.messageBox(
            QStringLiteral("Не удалось создать папку «%1».\nНастройки, праздники и новые наборы "
                           "картинок не будут сохранены: «Options.ini» и «Праздники.dat» "
                           "хранятся в этой папке.")
                .arg(QDir::toNativeSeparators(paths.userFolder())),
            applicationTitle(), MsgIcon::Warning, MsgButtons::Ok);
    OpenFile(*form, state, platform);
    return form;
}

} // namespace vexilo
