#pragma once

#include "support/TempAppFolder.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Sheets on their way to paper, as the print tests look at them.
namespace vexilo::test {

// A glyph set in app/set: digits and names of different colours, so a misplaced canvas
// changes pixels.
QString writeGlyphs(const TempAppFolder &app);

// vexilo-render in-process with that set and the year 2027; its exit status.
int render(const TempAppFolder &app, QStringList args);

// Runs a program of the system and returns its standard output; a failure fails the test.
QString run(const QString &program, const QStringList &args);

// The page size pdfinfo reads, in points.
QSizeF pdfPageSize(const QString &pdf);

// The one image a PDF embeds, as its own pixels (pdfimages).
QImage pdfImage(const QString &pdf, const QString &prefix);

} // namespace vexilo::test
