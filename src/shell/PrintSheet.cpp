#include "PrintSheet.h"

#include <QPainter>
#include <QPrinter>

namespace vexilo {

void preparePrinter(QPrinter &printer, const OutputOptions &options)
{
    printer.setPageSize(QPageSize(options.paper));
    printer.setPageOrientation(options.orientation);
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
}

bool printSheet(QPrinter &printer, const QImage &sheet, int dpi)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF printable(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    paintSheetPage(painter, sheet, dpi, printable, printer.resolution());
    return painter.end();
}

} // namespace vexilo
