#include "Main.h"

#include "holidays/PrazdnikiFile.h"
#include "shell/AppFolder.h"
#include "shell/AppIcon.h"
#include "shell/Declare.h"
#include "shell/OptionsForm.h"
#include "shell/frmForma.h"

#include <QGuiApplication>

namespace vexilo {

std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const QString &reportedFolder)
{
    const AppFolder folder = appFolderFrom(reportedFolder);
    state.PutProgrammy = folder.PutProgrammy;
    state.Razdelitel = folder.Razdelitel;
    fillMonthLengths(state.DniMesyaca);
    OpenPrazdniki(state.Prazdniki, prazdnikiPath(state.PutProgrammy));

    QGuiApplication::setWindowIcon(applicationIcon());
    auto form = std::make_unique<frmForma>(state, platform);
    form->show();
    OpenFile(*form, state, platform);
    return form;
}

} // namespace vexilo
