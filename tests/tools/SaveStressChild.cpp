// Saves "Праздники.dat" and "Options.ini" in the given folder over and over, alternating two
// contents of each, until it is killed. The crash-safety test kills it at random moments.
#include "holidays/PrazdnikiFile.h"
#include "platform/SaveReport.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/OptionsForm.h"
#include "shell/frmForma.h"
#include "support/QuietPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);

    vexilo::Declare state;
    vexilo::QuietPlatform platform; // saves must succeed: a message is printed
    auto form = vexilo::Main(state, platform, folder);

    // The "new" contents: a store with two years, and other spacings.
    vexilo::PrazdnikiStore newStore;
    for (qint32 year : {2013, 2014}) {
        newStore.append();
        vexilo::clsPrazdniki *entry = newStore.entry(newStore.KolGodov());
        entry->God = year;
        for (qint32 d = 1; d <= 31; d += 2)
            (void)entry->AddPrazdnik(1 + d % 12, d);
    }
    vexilo::PrazdnikiStore &oldStore = state.Prazdniki;

    std::puts("ready");
    std::fflush(stdout);
    const QString holidays = state.paths.prazdnikiFile();
    for (quint64 round = 0;; ++round) {
        const bool fresh = round % 2 == 0;
        vexilo::reportSaveFailure(
            platform, holidays, vexilo::SavePrazdniki(fresh ? newStore : oldStore, holidays).write);
        vexilo::FormaInputs inputs = form->inputs();
        inputs.Rassttoyanie[0] = fresh ? QStringLiteral("17") : QStringLiteral("10");
        inputs.XYMesyac = fresh ? 3 : 2;
        form->setInputs(inputs);
        vexilo::SaveFile(*form, state, platform);
    }
}
