// Each benchmark stands beside the baseline it is judged against; compare them in one run:
//   make bench
#include "LargeSheetBench.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/ImageFiles.h"
#include "compose/output/SheetRender.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vexilo;

namespace {

QString bundledSet()
{
    const QString app = QStringLiteral(VEXILO_APP_DIR "/");
    const QStringList sets = glyphFolderNames(app);
    return sets.isEmpty() ? QString() : app + sets.constFirst() + QLatin1Char('/');
}

const GlyphLoad &glyphs()
{
    static const GlyphLoad set = loadGlyphSet(bundledSet(), 0);
    return set;
}

// Shared once, with its ink, as the window keeps its loaded set.
const SharedGlyphs &loaded()
{
    static const SharedGlyphs set = glyphs().set;
    return set;
}

clsPrazdniki holidays(bool everyDay)
{
    clsPrazdniki year;
    if (everyDay)
        for (qint32 m = 1; m <= 12; ++m)
            for (qint32 d = 1; d <= 31; ++d)
                (void)year.AddPrazdnik(m, d);
    return year;
}

struct RenderedSheet
{
    SheetGeometry geometry;
    std::vector<QImage> canvases; // one per row of months; one for a month sheet
};

RenderedSheet render(qint32 month, const clsPrazdniki &marks)
{
    const SheetRequest request{loaded(), marks, 2027, month, 2, Spacings{}};
    const Sheet sheet = std::get<Sheet>(Sheet::plan(request));
    RenderedSheet rendered{sheet.geometry(), {}};
    for (qint32 k = 0; k < sheet.canvasCount(); ++k)
        rendered.canvases.push_back(sheet.canvas(k));
    return rendered;
}

void composeSheet(benchmark::State &state, qint32 month, bool everyDay)
{
    const clsPrazdniki marks = holidays(everyDay);
    for (auto _ : state) {
        RenderedSheet sheet = render(month, marks);
        benchmark::DoNotOptimize(sheet.canvases.front().constBits());
    }
}

// Baseline: the same canvases, only filled with white.
void fillCanvases(benchmark::State &state, qint32 month)
{
    const RenderedSheet sample = render(month, holidays(false));
    for (auto _ : state) {
        std::vector<QImage> canvases;
        for (const QImage &canvas : sample.canvases) {
            QImage blank(canvas.size(), QImage::Format_RGB32);
            blank.fill(Qt::white);
            canvases.push_back(std::move(blank));
        }
        benchmark::DoNotOptimize(canvases.front().constBits());
    }
}

void BM_YearSheet_Fill(benchmark::State &state)
{
    fillCanvases(state, 0);
}
void BM_YearSheet_Compose(benchmark::State &state)
{
    composeSheet(state, 0, false);
}
void BM_YearSheet_ComposeAllHolidays(benchmark::State &state)
{
    composeSheet(state, 0, true);
}
void BM_MonthSheet_Fill(benchmark::State &state)
{
    fillCanvases(state, 3);
}
void BM_MonthSheet_Compose(benchmark::State &state)
{
    composeSheet(state, 3, false);
}
void BM_MonthSheet_ComposeAllHolidays(benchmark::State &state)
{
    composeSheet(state, 3, true);
}

QStringList glyphFiles()
{
    QStringList files;
    for (int d = 0; d < 10; ++d)
        files.append(bundledSet() + digitFileName(d));
    for (const QString &name : weekdayFileNames())
        files.append(bundledSet() + name);
    return files;
}

// Baseline: only decoding the 17 files.
void BM_GlyphSet_Decode(benchmark::State &state)
{
    const QStringList files = glyphFiles();
    for (auto _ : state)
        for (const QString &file : files) {
            QImageReader reader(file);
            QImage image = reader.read();
            benchmark::DoNotOptimize(image.constBits());
        }
}

void BM_GlyphSet_Load(benchmark::State &state)
{
    const QString folder = bundledSet();
    for (auto _ : state) {
        GlyphLoad set = loadGlyphSet(folder, 0);
        benchmark::DoNotOptimize(set.set->Tsifry.data());
    }
}

struct SaveFixture
{
    QTemporaryDir dir;
    RenderedSheet sheet = render(0, holidays(false));
    qint64 bmpBytes = 0;
};

// The year written as the window and the renderer save it: BMP rows, all or none.
QStringList saveYear(const SaveFixture &fixture, const QString &name)
{
    const QStringList names =
        exportFileNames(fixture.dir.filePath(name), QStringLiteral("/"),
                        static_cast<qint32>(fixture.sheet.canvases.size()) - 1);
    const DrawnCanvases canvases(fixture.sheet.canvases, fixture.sheet.geometry.ShagRisunkov);
    if (!writeSheet(canvases, names, OutputOptions{}).ok)
        return {};
    return names;
}

SaveFixture &saveFixture()
{
    static SaveFixture fixture;
    if (fixture.bmpBytes == 0) {
        const QStringList names = saveYear(fixture, QStringLiteral("probe"));
        for (const QString &path : names)
            fixture.bmpBytes += QFile(path).size();
    }
    return fixture;
}

void BM_SaveYear_Bmp(benchmark::State &state)
{
    SaveFixture &fixture = saveFixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveYear(fixture, QStringLiteral("год")).size());
    state.SetBytesProcessed(state.iterations() * fixture.bmpBytes);
}

// Baseline: the same number of bytes and files written with QFile.
void BM_SaveYear_RawWrite(benchmark::State &state)
{
    SaveFixture &fixture = saveFixture();
    const auto files = static_cast<qint64>(fixture.sheet.canvases.size());
    const QByteArray chunk(static_cast<qsizetype>(fixture.bmpBytes / files), 'x');
    for (auto _ : state)
        for (qint64 i = 0; i < files; ++i) {
            QFile file(fixture.dir.filePath(QStringLiteral("raw%1.bin").arg(i)));
            file.open(QIODevice::WriteOnly);
            benchmark::DoNotOptimize(file.write(chunk));
        }
    state.SetBytesProcessed(state.iterations() * fixture.bmpBytes);
}

} // namespace

BENCHMARK(BM_YearSheet_Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_YearSheet_Compose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_YearSheet_ComposeAllHolidays)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthSheet_Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthSheet_Compose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthSheet_ComposeAllHolidays)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphSet_Decode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphSet_Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveYear_RawWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveYear_Bmp)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // The window benchmarks need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // For profiling by hand: vexilo_bench --write-large-set DIR/
    if (argc == 3 && std::string_view(argv[1]) == "--write-large-set") {
        vexilo::bench::writeLargeSet(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (glyphs().digits.empty() || !glyphs().complete) {
        fprintf(stderr, "No bundled glyph set in %s\n", VEXILO_APP_DIR);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
