// The renderer on a print-sized glyph set (digits 200 x 300, names 400 x 300): a year at six
// months in a row, two canvases of 16039 x 2140. Each run is a whole process, start-up
// included, beside a process that starts alike and only writes the same bytes.
#include "LargeSheetBench.h"

#include "compose/glyphs/GlyphSet.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace vexilo::bench {

namespace {

// Blocks of ink placed by the glyph's index, so every glyph differs and has white inside.
QImage largeGlyph(int width, int height, int index)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QColor ink(20 + 20 * index, 30, 120);
    painter.fillRect(width / 8, height / 10, width * 3 / 4, height / 8, ink);
    painter.fillRect(width / 8 + (index * width) / 20, height / 3, width / 5, height / 2, ink);
    painter.fillRect(width / 8, height * 8 / 10, width * 3 / 4, height / 10, ink);
    return image;
}

} // namespace

void writeLargeSet(const QString &folder)
{
    QDir().mkpath(folder);
    for (int d = 0; d < 10; ++d)
        largeGlyph(200, 300, d).save(folder + digitFileName(d), "PNG");
    for (int w = 0; w < 7; ++w)
        largeGlyph(400, 300, 10 + w).save(folder + weekdayFileNames()[std::size_t(w)], "PNG");
}

const QString &largeSetFolder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString path = dir.filePath(QStringLiteral("Крупный/"));
        writeLargeSet(path);
        return path;
    }();
    return folder;
}

ProcessRun runProcess(const QStringList &arguments)
{
    std::vector<QByteArray> bytes;
    for (const QString &argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    ProcessRun run;
    // The child's report would only clutter the benchmark's table.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

} // namespace vexilo::bench

using namespace vexilo::bench;

namespace {

const QString kApp = QStringLiteral(VEXILO_APP_DIR "/");

QString outputBase()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("большой"));
}

QStringList renderArguments()
{
    return {kApp + QStringLiteral("vexilo-render"),
            QStringLiteral("-g"),
            largeSetFolder(),
            QStringLiteral("-y"),
            QStringLiteral("2027"),
            QStringLiteral("-r"),
            QStringLiteral("6"),
            QStringLiteral("-o"),
            outputBase()};
}

// Canvas bytes of one 16039 x 2140 canvas in memory, 32 bits a pixel.
constexpr double kCanvasMiB = 16039.0 * 2140 * 4 / (1 << 20);

void BM_LargeYear_Render(benchmark::State &state)
{
    double peak = 0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(renderArguments());
        if (!run.ok)
            state.SkipWithError("vexilo-render failed");
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
    state.counters["canvas_MiB"] = kCanvasMiB;
    state.counters["peak_per_canvas"] = peak / kCanvasMiB;
}

// Baseline: start-up plus writing the bytes the renderer wrote.
void BM_LargeYear_StartAndWrite(benchmark::State &state)
{
    if (!runProcess(renderArguments()).ok) {
        state.SkipWithError("vexilo-render failed");
        return;
    }
    QStringList arguments{QStringLiteral(VEXILO_BENCH_DIR "/vexilo-write-baseline")};
    for (int row = 1; row <= 2; ++row) {
        const QString written = outputBase() + QStringLiteral("_ряд%1.bmp").arg(row);
        arguments << outputBase() + QStringLiteral("-baseline%1").arg(row)
                  << QString::number(QFileInfo(written).size());
    }
    double peak = 0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(arguments);
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
}

} // namespace

BENCHMARK(BM_LargeYear_StartAndWrite)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeYear_Render)->UseManualTime()->Unit(benchmark::kMillisecond);
