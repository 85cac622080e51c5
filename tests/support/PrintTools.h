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

// A vector set in app/svgset: each glyph a flat-coloured drawing of its own shape, sized in
// different units, some colours in a <style> sheet; the weekend names have transparent holes
// and white ink.
QString writeSvgGlyphs(const TempAppFolder &app);

// vexilo-render in-process with that set and the year 2027; its exit status.
int render(const TempAppFolder &app, QStringList args);
// The same with the set in another folder of the application folder.
int renderWith(const TempAppFolder &app, const QString &set, QStringList args);

// The largest difference of any channel between two images of the same size, over all
// pixels, and over the pixels whose 3x3 neighbourhood in `expected` is all one colour (where
// anti-aliasing has no edge to soften). -1 when the sizes differ.
struct ImageDifference
{
    int anywhere = -1;
    int awayFromEdges = -1;
};
ImageDifference compareImages(const QImage &expected, const QImage &actual);

// Runs a program of the system and returns its standard output; a failure fails the test.
QString run(const QString &program, const QStringList &args);

// The page size pdfinfo reads, in points.
QSizeF pdfPageSize(const QString &pdf);

// The size of every page of a PDF, in points, first page first (pdfinfo).
std::vector<QSizeF> pdfPageSizes(const QString &pdf);

// The images a PDF embeds, in the order they are drawn, as their own pixels (pdfimages).
std::vector<QImage> pdfImages(const QString &pdf, const QString &prefix);

// Whether the images are bands of the sheet's rows, whole width, top to bottom, in order.
bool areBandsOf(const std::vector<QImage> &images, const QImage &sheet);

// The rows of months the renderer wrote as "<base>_ряд1.bmp" …, as RGB32 images.
std::vector<QImage> rowImages(const QString &base, int count);

} // namespace vexilo::test
