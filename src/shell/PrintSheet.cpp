#include "PrintSheet.h"

#include "common/ProgramText.h"
#include "compose/SheetStream.h"
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

namespace {

// `painted` turns false when the memory for a canvas could not be had.
bool paintOnPrinter(QPrinter &printer, const CanvasSource &sheet, int dpi, bool transparent,
                    bool &painted)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF printable(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    painted = paintSheetPage(painter, sheet, dpi, printable, printer.resolution(), transparent);
    return painter.end() && painted;
}

} // namespace

bool printSheet(QPrinter &printer, const CanvasSource &sheet, int dpi, bool transparent)
{
    bool painted = true;
    return paintOnPrinter(printer, sheet, dpi, transparent, painted);
}

void printPreview(Platform &platform, QWidget *parent, const CanvasSource &sheet,
                  const UserSettings &settings)
{
    const OutputOptions options = settings.loadOutputOptions();
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, options);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(QStringLiteral("Печать"));
    bool painted = true;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *target) {
        bool all = true;
        paintOnPrinter(*target, sheet, options.dpi, options.transparent, all);
        painted = painted && all;
    });
    platform.execDialog(dialog);
    if (!painted)
        platform.messageBox(outOfMemoryMessage(), applicationTitle(), MsgIcon::Information,
                            MsgButtons::Ok);
}

} // namespace vexilo
