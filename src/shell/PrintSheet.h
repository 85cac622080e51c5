#pragma once

#include "compose/SheetOutput.h"

class QPrinter;
class QWidget;

namespace vexilo {

class Platform;
class UserSettings;

// The chosen paper and orientation on the printer; a PDF file gets the whole page, as the
// renderer's PDF does, a real printer keeps its own margins.
void preparePrinter(QPrinter &printer, const OutputOptions &options);

// Paints the sheet on one page at its physical size for `dpi`, canvas by canvas; false when
// the printer could not be started or the memory for a canvas could not be had.
bool printSheet(QPrinter &printer, const CanvasSource &sheet, int dpi, bool transparent = false);

// Qt's print preview of the whole sheet at the remembered resolution and paper.
void printPreview(Platform &platform, QWidget *parent, const CanvasSource &sheet,
                  const UserSettings &settings);

} // namespace vexilo
