#include "PrintSheet.h"

#include "common/ProgramText.h"
#include "compose/SheetLayout.h"
#include "platform/Platform.h"
#include "shell/UserSettings.h"

#include <QPainter>
#include <QPrintPreviewDialog>
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

void printPreview(Platform &platform, QWidget *parent, const CanvasSource &sheet,
                  const UserSettings &settings)
{
    const QImage whole = wholeSheet(sheet);
    if (whole.isNull()) {
        platform.messageBox(wholeSheetFits(sheet) ? outOfMemoryMessage()
                                                  : sheetErrorMessage(SheetError::TooLarge),
                            applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const OutputOptions options = settings.loadOutputOptions();
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, options);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(QStringLiteral("Печать"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter *target) { printSheet(*target, whole, options.dpi); });
    platform.execDialog(dialog);
}

} // namespace vexilo
