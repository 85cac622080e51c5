#pragma once

#include "compose/SheetOutput.h"

#include <QImage>

class QPrinter;

namespace vexilo {

// The chosen paper and orientation on the printer; a PDF file gets the whole page, as the
// renderer's PDF does, a real printer keeps its own margins.
void preparePrinter(QPrinter &printer, const OutputOptions &options);

// Paints the sheet on one page at its physical size for `dpi`; false when the printer
// could not be started.
bool printSheet(QPrinter &printer, const QImage &sheet, int dpi);

} // namespace vexilo
