// Peak memory of a whole sheet written as one file, in this process: a print-sized year (two
// canvases of 16039 x 2140) and month as PNG --whole and PDF, each against the bytes of one
// canvas, beside composing the whole sheet in one image as the baseline. And a fourteen-page
// quarterly calendar written as one document against its pages written one sheet at a time.
#include "LargeSheetBench.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetDocument.h"
#include "compose/output/SheetRender.h"
#include "compose/output/SheetStream.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vexilo;
using namespace vexilo::bench;

namespace {

const SharedGlyphs &largeGlyphs()
{
    static const SharedGlyphs set = [] {
        const GlyphLoad loaded = loadGlyphSet(largeSetFolder(), 0);
        return loaded.set;
    }();
    return set;
}

// Six months in a row for the year; January for the month.
Sheet largeSheet(qint32 month)
{
    const SheetRequest request{largeGlyphs(), clsPrazdniki{}, 2027, month, 3, Spacings{}};
    return std::get<Sheet>(Sheet::plan(request));
}

// A field of /proc/self/status in MiB ("VmHWM", "VmRSS"); 0 where there is none.
double statusMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Sets the peak back to what is resident now; false where the system does not allow it.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

enum class Way { Png, Pdf, WholeImage };

void wholeSheetPeak(benchmark::State &state, qint32 month, Way way)
{
    const Sheet sheet = largeSheet(month);
    const double canvasMiB =
        double(sheet.canvasSize().width()) * sheet.canvasSize().height() * 4 / double(1 << 20);
    QTemporaryDir dir;
    OutputOptions options;
    options.format = way == Way::Pdf ? OutputFormat::Pdf : OutputFormat::Png;
    options.whole = true;
    options.dpi = 300;
    const QString name = dir.filePath(QStringLiteral("лист") + outputExtension(options.format));
    double peak = 0;
    for (auto _ : state) {
        if (!resetPeak()) {
            state.SkipWithError("/proc/self/clear_refs cannot be written");
            return;
        }
        const double before = statusMiB("VmRSS");
        if (way == Way::WholeImage) {
            const QImage whole = wholeSheet(sheet);
            benchmark::DoNotOptimize(whole.constBits());
        } else if (!writeSheet(sheet, {name}, options).ok) {
            state.SkipWithError("the sheet was not written");
            return;
        }
        peak = std::max(peak, statusMiB("VmHWM") - before);
    }
    state.counters["peak_MiB"] = peak;
    state.counters["canvas_MiB"] = canvasMiB;
    state.counters["peak_per_canvas"] = peak / canvasMiB;
}

// Fourteen pages, December 2026 to January 2028, each with the month before and after.
Sheet largeQuarterly()
{
    SheetRequest request{largeGlyphs(), clsPrazdniki{}, 2027, 0, 3, Spacings{}};
    request.view.quarterly = true;
    request.view.period = Period{2026, 12, 14};
    return std::get<Sheet>(Sheet::plan(request));
}

// The peak resident growth while `write` runs, in MiB; negative when it fails.
template <class Write> double peakOf(const Write &write)
{
    if (!resetPeak())
        return -1;
    const double before = statusMiB("VmRSS");
    if (!write())
        return -1;
    return statusMiB("VmHWM") - before;
}

void documentPeak(benchmark::State &state, OutputFormat format)
{
    const std::vector<Sheet> pages = pagesOf(largeQuarterly());
    const QSize page = wholeSheetSize(pages.front());
    const double pageMiB = double(page.width()) * page.height() * 4 / double(1 << 20);
    QTemporaryDir dir;
    OutputOptions options;
    options.format = format;
    options.whole = true;
    options.dpi = 300;
    const QString chosen = dir.filePath(QStringLiteral("квартальный"));
    const QStringList names =
        documentFileNames(chosen, QStringLiteral("/"), sheetPages(pages), options);
    double document = 0;
    double oneByOne = 0;
    for (auto _ : state) {
        document = std::max(
            document, peakOf([&] { return writeDocument(sheetPages(pages), names, options).ok; }));
        oneByOne = std::max(
            oneByOne, peakOf([&] {
                for (std::size_t p = 0; p < pages.size(); ++p)
                    if (!writeSheet(pages[p],
                                    {chosen + QString::number(p) + outputExtension(format)},
                                    options)
                             .ok)
                        return false;
                return true;
            }));
        if (document < 0 || oneByOne < 0) {
            state.SkipWithError("the pages were not written, or the peak cannot be reset");
            return;
        }
    }
    state.counters["pages"] = double(pages.size());
    state.counters["page_MiB"] = pageMiB;
    state.counters["document_peak_MiB"] = document;
    state.counters["sheet_by_sheet_peak_MiB"] = oneByOne;
    state.counters["document_per_sheet_by_sheet"] = document / oneByOne;
    state.counters["document_per_page"] = document / pageMiB;
}

void BM_LargeQuarterly_Pdf(benchmark::State &state)
{
    documentPeak(state, OutputFormat::Pdf);
}
void BM_LargeQuarterly_WholePng(benchmark::State &state)
{
    documentPeak(state, OutputFormat::Png);
}

void BM_LargeYear_WholeImage(benchmark::State &state)
{
    wholeSheetPeak(state, 0, Way::WholeImage);
}
void BM_LargeYear_WholePng(benchmark::State &state)
{
    wholeSheetPeak(state, 0, Way::Png);
}
void BM_LargeYear_Pdf(benchmark::State &state)
{
    wholeSheetPeak(state, 0, Way::Pdf);
}
void BM_LargeMonth_WholePng(benchmark::State &state)
{
    wholeSheetPeak(state, 1, Way::Png);
}
void BM_LargeMonth_Pdf(benchmark::State &state)
{
    wholeSheetPeak(state, 1, Way::Pdf);
}

} // namespace

BENCHMARK(BM_LargeYear_WholeImage)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeYear_WholePng)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeYear_Pdf)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMonth_WholePng)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMonth_Pdf)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeQuarterly_Pdf)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeQuarterly_WholePng)->Iterations(1)->Unit(benchmark::kMillisecond);
