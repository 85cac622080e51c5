#pragma once

#include "compose/output/SheetDocument.h"
#include "compose/output/SheetOutput.h"

#include <optional>

class QPrinter;
class QWidget;

namespace vexilo {

class Platform;
class Sheet;
class UserSettings;

// The chosen paper, turned for a sheet of `sheetPixels` as the options say; the painter gets
// the whole page, so printing places the sheet within the margins as a PDF does.
void preparePrinter(QPrinter &printer, const OutputOptions &options, QSize sheetPixels);

// Paints the sheet on one page of the printer's paper and orientation (which the user may
// change in the preview), as placeSheet says for the options' dpi and margins, widened to a
// real printer's own margins, or within the printer's own margins alone when the paper is too
// small for the chosen ones, canvas by canvas; false when the printer could not be started or
// the memory for a canvas could not be had.
bool printSheet(QPrinter &printer, const CanvasSource &sheet, const OutputOptions &options);
// Every page of a document so, each on a paper of its own, in order.
bool printSheet(QPrinter &printer, const SheetPages &pages, const OutputOptions &options);

// Qt's print preview of every page at the remembered resolution and paper, turned for the
// first page; a sheet drawn for print (a vector set's) brings its own resolution.
void printPreview(Platform &platform, QWidget *parent, const SheetPages &pages,
                  const UserSettings &settings, std::optional<int> sheetDpi = std::nullopt);
void printPreview(Platform &platform, QWidget *parent, const CanvasSource &sheet,
                  const UserSettings &settings, std::optional<int> sheetDpi = std::nullopt);

// The preview of the window's pages: their canvases as shown, or a vector set's sheet drawn
// again from its drawings at a printer's resolution, refused with a message when it would be
// too large there.
void printShownSheet(Platform &platform, QWidget *parent, const SheetPages &shown,
                     const Sheet *planned, const UserSettings &settings);

} // namespace vexilo
