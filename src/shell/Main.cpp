#include "Main.h"

#include "holidays/PrazdnikiFile.h"
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
    state.PutProgrammy = folder.PutProgrammy;
    state.Razdelitel = folder.Razdelitel;
    state.paths = paths;
    // The user's data folder is there before anything is saved into it.
    if (!paths.isBesideProgram())
        QDir().mkpath(paths.userFolder());
    fillMonthLengths(state.DniMesyaca);
    OpenPrazdniki(state.Prazdniki, state.paths.prazdnikiFile());

    QGuiApplication::setWindowIcon(applicationIcon());
    auto form = std::make_unique<frmForma>(state, platform);
    form->show();
    OpenFile(*form, state, platform);
    return form;
}

} // namespace vexilo
