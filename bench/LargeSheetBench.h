#pragma once

#include <QString>
#include <QStringList>

namespace vexilo::bench {

// A print-sized glyph set: written to a folder (ends with "/"), or made once per run in a
// temporary folder.
void writeLargeSet(const QString &folder);
const QString &largeSetFolder();

struct ProcessRun
{
    double seconds = 0;
    double peakMiB = 0; // the child's peak resident memory
    bool ok = false;
};

// Runs a program to its end, measuring its wall time and peak memory.
ProcessRun runProcess(const QStringList &arguments);

} // namespace vexilo::bench
