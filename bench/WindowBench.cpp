// The window: from «Нарисовать» to the sheet painted, for the bundled sets and the print-sized
// one (a year at six months in a row).
#include "LargeSheetBench.h"

#include "compose/glyphs/GlyphSet.h"
#include "shell/Declare.h"
#include "shell/frmForma.h"
#include "support/QuietPlatform.h"

#include <QApplication>
#include <QDialog>

#include <benchmark/benchmark.h>

using namespace vexilo;

namespace {

void drawInWindow(benchmark::State &state, const QString &folder, int perRowIndex)
{
    Declare declared;
    fillMonthLengths(declared.DniMesyaca);
    declared.Prazdniki.append();
    declared.Prazdniki.entry(0)->God = 2027;
    QuietPlatform platform;
    frmForma form(declared, platform);
    const GlyphLoad set = loadGlyphSet(folder, 0);
    if (!set.complete) {
        state.SkipWithError("the glyph set does not load");
        return;
    }
    form.setGlyphs(set.set);
    declared.KartinkiZagruzheny = -1;
    FormaInputs inputs = form.inputs();
    inputs.XYMesyac = perRowIndex;
    inputs.Rassttoyanie[5] = QStringLiteral("2027");
    inputs.KolMesyacev = 0;
    form.setInputs(inputs);
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.kNew_Click();
        QCoreApplication::processEvents(); // what the draw left pending: layout and paints
        form.repaint();                    // the sheet on the screen, not only in memory
    }
    if (platform.messages != 0)
        state.SkipWithError("the window refused to draw");
}

QString bundled(const char *name)
{
    return QStringLiteral(VEXILO_APP_DIR "/") + QString::fromUtf8(name) + QLatin1Char('/');
}

void BM_Window_Draw_Klassika(benchmark::State &state)
{
    drawInWindow(state, bundled("Классика"), 2);
}
void BM_Window_Draw_Plakat(benchmark::State &state)
{
    drawInWindow(state, bundled("Плакат"), 2);
}
void BM_Window_Draw_Uzkiy(benchmark::State &state)
{
    drawInWindow(state, bundled("Узкий"), 2);
}
void BM_Window_Draw_LargeSet(benchmark::State &state)
{
    drawInWindow(state, bench::largeSetFolder(), 3);
}

} // namespace

BENCHMARK(BM_Window_Draw_Klassika)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Window_Draw_Plakat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Window_Draw_Uzkiy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Window_Draw_LargeSet)->Unit(benchmark::kMillisecond);
