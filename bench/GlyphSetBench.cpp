// What the tinted holders and the pale and grey drawings add to a load, against the build
// without them, in one run:
//   build/bench/vexilo_bench --benchmark_filter='TintedBuild|SvgTints'
#include "LargeSheetBench.h"

#include "compose/glyphs/GlyphInk.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/glyphs/SvgGlyph.h"
#include "compose/maker/GlyphMaker.h"
#include "compose/tints/HolidayTint.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vexilo;

namespace {

const GlyphLoad &classicRead()
{
    static const GlyphLoad read = [] {
        const QString app = QStringLiteral(VEXILO_APP_DIR "/");
        const QStringList sets = glyphFolderNames(app);
        return readGlyphImages(app + sets.value(0) + u'/', false);
    }();
    return read;
}

const GlyphLoad &largeRead()
{
    static const GlyphLoad read = readGlyphImages(bench::largeSetFolder(), false);
    return read;
}

// Baseline: the build as it was without tinted holders: the red variants of the ten digits
// and of Сб and Вс, and the ink of the seventeen holders.
void redOnly(benchmark::State &state, const GlyphLoad &read)
{
    const HolidayTint tint;
    for (auto _ : state) {
        std::vector<clsPixel> red;
        for (const QImage &digit : read.digits)
            red.push_back(tint.redVariant(digit));
        for (std::size_t w : {5U, 6U})
            red.push_back(tint.redVariant(read.weekdays[w]));
        SheetInk ink;
        for (std::size_t d = 0; d < ink.digits.size(); ++d)
            ink.digits[d] = inkOf(read.digits[d]);
        for (std::size_t w = 0; w < ink.weekdays.size(); ++w)
            ink.weekdays[w] = inkOf(read.weekdays[w]);
        benchmark::DoNotOptimize(red.data());
        benchmark::DoNotOptimize(ink.digits.data());
    }
}

// The build of today: the same, and the pale, pale red and grey holders.
void withTints(benchmark::State &state, const GlyphLoad &read)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(buildGlyphSet(read, 0).get());
}

void BM_TintedBuild_Classic_RedOnly(benchmark::State &state)
{
    redOnly(state, classicRead());
}
void BM_TintedBuild_Classic(benchmark::State &state)
{
    withTints(state, classicRead());
}
void BM_TintedBuild_Large_RedOnly(benchmark::State &state)
{
    redOnly(state, largeRead());
}
void BM_TintedBuild_Large(benchmark::State &state)
{
    withTints(state, largeRead());
}

// The seventeen drawings of an outline set, as the loader gets them.
const std::vector<QByteArray> &svgFiles()
{
    static QTemporaryDir dir;
    static const std::vector<QByteArray> files = [] {
        const QString folder = dir.path() + QStringLiteral("/set/");
        const MadeGlyphs glyphs = makeGlyphs(
            {QStringLiteral("Liberation Serif"), 26, true, QColor(QStringLiteral("#222222"))});
        (void)writeMadeGlyphs(glyphs, folder, false, {}, MadeGlyphFiles::Svg);
        std::vector<QByteArray> bytes;
        for (const QString &name : madeGlyphFileNames(MadeGlyphFiles::Svg).mid(0, 17)) {
            QFile file(folder + name);
            file.open(QIODevice::ReadOnly);
            bytes.push_back(file.readAll());
        }
        return bytes;
    }();
    return files;
}

// The seventeen drawings tinted and drawn by one loader process in the given tints.
void drawnIn(benchmark::State &state, std::uint32_t tints)
{
    for (auto _ : state) {
        SvgGlyph::Loader loader;
        for (const QByteArray &bytes : svgFiles())
            if (auto documents = SvgGlyph::documentsOf(bytes, tints))
                loader.send(std::move(*documents));
        benchmark::DoNotOptimize(loader.glyphs().size());
    }
}

// Baseline: plain and holiday red, as the loader drew them before.
void BM_SvgTints_PlainAndHoliday(benchmark::State &state)
{
    drawnIn(state, wire::kPlainAndHoliday);
}
void BM_SvgTints_Every(benchmark::State &state)
{
    drawnIn(state, kEveryTint);
}

} // namespace

BENCHMARK(BM_TintedBuild_Classic_RedOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TintedBuild_Classic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TintedBuild_Large_RedOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TintedBuild_Large)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvgTints_PlainAndHoliday)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvgTints_Every)->Unit(benchmark::kMillisecond);
