#pragma once

#include "common/CommandLine.h"

#include <QCommandLineOption>
#include <QList>

namespace vexilo {

QString renderProgramName(); // "vexilo-render"

// Every option of the renderer, with the words `--help` prints for it.
struct RenderOptions
{
    RenderOptions();
    // In the order `--help` lists them.
    QList<QCommandLineOption> all() const;

    QCommandLineOption glyphs, year, month, perRow, datesX, datesY, monthsX, monthsY, digitsX,
        sizeCheck, holidays, ics, imports, out, format, whole, dpi, paper, margin, portrait,
        landscape, transparent, help, version;
    // The period, its pages and the layout of its months.
    QCommandLineOption from, months, perPage, quarterly, weekdaysAcross, sundayFirst, monthTitles,
        titleGap, yearTitle, weekNumbers, neighbourDays;
};

// The renderer's `--help`: its options and its exit codes.
CommandLineHelp renderHelp(const RenderOptions &options);

} // namespace vexilo
