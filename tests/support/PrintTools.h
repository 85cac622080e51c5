#pragma once

#include "support/TempAppFolder.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

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

// The images a PDF embeds, in the order they are drawn, as their own pixels (pdfimages).
std::vector<QImage> pdfImages(const QString &pdf, const QString &prefix);

// Whether the images are bands of the sheet's rows, whole width, top to bottom, in order.
bool areBandsOf(const std::vector<QImage> &images, const QImage &sheet);

// The rows of months the renderer wrote as "<base>_ряд1.bmp" …, as RGB32 images.
std::vector<QImage> rowImages(const QString &base, int count);

} // namespace vexilo::test
