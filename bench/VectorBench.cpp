// SVG glyph sets against their baselines, in one run:
//   make bench ARGS=--benchmark_filter=Svg
#include "common/SafeFile.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/glyphs/Rsvg.h"
#include "compose/maker/GlyphMaker.h"
#include "compose/output/SheetRender.h"
#include "compose/tints/HolidayTint.h"
#include "compose/tints/SvgTint.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vexilo;

namespace {

// The bundled classic set's font, made once as outlines.
struct SvgSet
{
    QTemporaryDir dir;
    QString folder = dir.path() + QStringLiteral("/set/");
    QStringList files;

    SvgSet()
    {
        const MadeGlyphs glyphs = makeGlyphs(
            {QStringLiteral("Liberation Serif"), 26, true, QColor(QStringLiteral("#222222"))});
        (void)writeMadeGlyphs(glyphs, folder, false, {}, MadeGlyphFiles::Svg);
        for (const QString &name : madeGlyphFileNames(MadeGlyphFiles::Svg))
            files.append(folder + name);
    }
};

const SvgSet &svgSet()
{
    static const SvgSet set;
    return set;
}

void BM_SvgSet_Load(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loadGlyphSet(svgSet().folder, 0).complete);
}

// The bytes of a file, and librsvg's handle on a document: the steps every SVG benchmark shares.
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

RsvgHandle *parsedSvg(const QByteArray &svg)
{
    return rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(svg.constData()),
                                     static_cast<gsize>(svg.size()), nullptr);
}

// Baseline: the set read as it was before the loader process, librsvg in this process: each
// file parsed, sized, tinted, and rendered plain and red at one pixel per CSS pixel.
void BM_SvgSet_LoadInProcess(benchmark::State &state)
{
    const HolidayTint tint;
    const auto render = [](const QByteArray &svg, QSizeF size) {
        RsvgHandle *handle = parsedSvg(svg);
        QImage image(qRound(size.width()), qRound(size.height()),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        cairo_surface_t *surface = cairo_image_surface_create_for_data(
            image.bits(), CAIRO_FORMAT_ARGB32, image.width(), image.height(),
            static_cast<int>(image.bytesPerLine()));
        cairo_t *cr = cairo_create(surface);
        const RsvgRectangle viewport{0, 0, size.width(), size.height()};
        rsvg_handle_render_document(handle, cr, &viewport, nullptr);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        g_object_unref(handle);
        return image;
    };
    for (auto _ : state) {
        for (const QString &path : svgSet().files) {
            const QByteArray bytes = fileBytes(path);
            RsvgHandle *handle = parsedSvg(bytes);
            gdouble width = 0;
            gdouble height = 0;
            rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height);
            g_object_unref(handle);
            const QByteArray holiday =
                tintSvgColours(bytes, [&tint](QRgb colour) { return tint.recolour(colour); });
            benchmark::DoNotOptimize(render(bytes, {width, height}));
            benchmark::DoNotOptimize(render(holiday, {width, height}));
        }
    }
}

// Baseline: reading and parsing the same seventeen files, nothing drawn.
void BM_SvgSet_ParseFiles(benchmark::State &state)
{
    for (auto _ : state) {
        for (const QString &path : svgSet().files) {
            const QByteArray bytes = fileBytes(path);
            RsvgHandle *handle = parsedSvg(bytes);
            benchmark::DoNotOptimize(handle);
            g_object_unref(handle);
        }
    }
}

struct YearPdf
{
    QTemporaryDir dir;
    Sheet sheet;
    QString path = dir.filePath(QStringLiteral("год.pdf"));
    OutputOptions options;
};

YearPdf &yearPdf()
{
    static YearPdf *year = [] {
        const GlyphLoad set = loadGlyphSet(svgSet().folder, 0);
        clsPrazdniki holidays;
        (void)holidays.AddPrazdnik(1, 1);
        auto planned = Sheet::plan({set.set, holidays, 2027, 0, 2, {}});
        auto *made = new YearPdf{{}, std::get<Sheet>(std::move(planned)), {}, {}};
        made->path = made->dir.filePath(QStringLiteral("год.pdf"));
        made->options.format = OutputFormat::Pdf;
        return made;
    }();
    return *year;
}

void BM_SvgYearPdf_Write(benchmark::State &state)
{
    YearPdf &year = yearPdf();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSheet(year.sheet, {year.path}, year.options).ok);
    state.counters["bytes"] = double(QFile(year.path).size());
}

// Baseline: the same number of bytes written the same safe way.
void BM_SvgYearPdf_SameBytes(benchmark::State &state)
{
    YearPdf &year = yearPdf();
    (void)writeSheet(year.sheet, {year.path}, year.options);
    const QByteArray bytes(static_cast<qsizetype>(QFile(year.path).size()), 'x');
    const QString path = year.dir.filePath(QStringLiteral("raw.bin"));
    for (auto _ : state) {
        SafeFileBatch batch;
        (void)batch.stage(
            path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); });
        benchmark::DoNotOptimize(batch.commit().ok);
    }
    state.counters["bytes"] = double(bytes.size());
}

} // namespace

BENCHMARK(BM_SvgSet_ParseFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SvgSet_LoadInProcess)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SvgSet_Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SvgYearPdf_SameBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SvgYearPdf_Write)->Unit(benchmark::kMicrosecond);
