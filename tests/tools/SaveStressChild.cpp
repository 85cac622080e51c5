// Saves "Праздники.dat" and "Options.ini" in the given folder over and over, alternating two
// contents of each, until it is killed. After the first save of both it prints "ready" and how
// many microseconds that save took; the crash-safety test kills it at moments spread over that.
//
// With --export it writes a year of three BMP rows instead (see exportRows), as the window and
// vexilo-render do, for the tests of a multi-file export killed half-way.
#include "compose/output/ImageFiles.h"
#include "compose/output/SheetOutput.h"
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

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The rows of export `content`: every pixel of every row in its colour, so a reader tells at
// a glance which export a row came from.
vexilo::DrawnCanvases exportCanvases(int content)
{
    std::vector<QImage> canvases;
    for (int row = 0; row < 3; ++row) {
        QImage canvas(640, 200, QImage::Format_RGB32);
        canvas.fill(content == 0 ? QColor(200, 0, 0) : QColor(0, 0, 200));
        canvases.push_back(canvas);
    }
    return {std::move(canvases), 200};
}

const char *stageName(vexilo::SafeWriteStage stage)
{
    switch (stage) {
    case vexilo::SafeWriteStage::CreateTemporary:
        return "create";
    case vexilo::SafeWriteStage::OpenInPlace:
        return "in-place";
    case vexilo::SafeWriteStage::Write:
        return "write";
    case vexilo::SafeWriteStage::Rename:
        return "rename";
    }
    return "?";
}

// "--export FOLDER CONTENT KILL_AT": writes FOLDER/k_ряд1.bmp … k_ряд3.bmp in the colour of
// CONTENT (0 or 1), killing itself just before the KILL_AT-th rename (0: never). With
// KILL_AT "step:N" it dies at the N-th step of any kind instead, printing that step's name.
// "--export FOLDER loop": writes the rows of content 0 once, prints "ready" and how many
// microseconds that took, then writes both contents in turn until it is killed.
int exportRows(const QString &folder, const char *content, const char *killAt)
{
    const QStringList names =
        vexilo::exportFileNames(folder + QStringLiteral("/k.bmp"), QStringLiteral("/"), 2);
    if (std::strcmp(content, "loop") == 0) {
        const vexilo::DrawnCanvases both[] = {exportCanvases(0), exportCanvases(1)};
        const auto start = std::chrono::steady_clock::now();
        if (!vexilo::writeSheet(both[0], names, {}).ok)
            return 1;
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("ready %lld\n", static_cast<long long>(took.count()));
        std::fflush(stdout);
        for (quint64 round = 1;; ++round)
            if (!vexilo::writeSheet(both[round % 2], names, {}).ok)
                return 1;
    }
    const bool anyStep = std::strncmp(killAt, "step:", 5) == 0;
    const int killStep = std::atoi(anyStep ? killAt + 5 : killAt);
    auto steps = std::make_shared<int>(0);
    const vexilo::SafeWriteHook hook = [steps, killStep, anyStep](vexilo::SafeWriteStage stage) {
        if ((anyStep || stage == vexilo::SafeWriteStage::Rename) && ++*steps == killStep) {
            std::puts(stageName(stage));
            std::fflush(stdout);
            std::raise(SIGKILL);
        }
        return 0;
    };
    return vexilo::writeSheet(exportCanvases(std::atoi(content)), names, {}, hook).ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && std::strcmp(argv[1], "--export") == 0)
        return exportRows(QString::fromLocal8Bit(argv[2]), argv[3], argv[4]);
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

    const QString holidays = state.paths.prazdnikiFile();
    const auto start = std::chrono::steady_clock::now();
    for (quint64 round = 0;; ++round) {
        const bool fresh = round % 2 == 0;
        vexilo::reportSaveFailure(
            platform, holidays, vexilo::SavePrazdniki(fresh ? newStore : oldStore, holidays).write);
        vexilo::FormaInputs inputs = form->inputs();
        inputs.Rassttoyanie[0] = fresh ? QStringLiteral("17") : QStringLiteral("10");
        inputs.XYMesyac = fresh ? 3 : 2;
        form->setInputs(inputs);
        vexilo::SaveFile(*form, state, platform);
        if (round == 0) {
            // The length of one save of both files, for the test to time its kills by.
            const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            std::printf("ready %lld\n", static_cast<long long>(took.count()));
            std::fflush(stdout);
        }
    }
}
