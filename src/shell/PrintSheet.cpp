#include "PrintSheet.h"

#include "common/ProgramText.h"
#include "compose/output/PagePlacement.h"
#include "compose/output/SheetRender.h"
#include "compose/output/SheetStream.h"
#include "compose/sheet/SheetLayout.h"
#include "platform/Platform.h"
#include "shell/UserSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace vexilo {

namespace {

double pointsPerUnit(QPageLayout::Unit unit)
{
    switch (unit) {
    case QPageLayout::Millimeter:
        return 72 / 25.4;
    case QPageLayout::Inch:
        return 72;
    case QPageLayout::Pica:
        return 12;
    case QPageLayout::Didot:
        return 1.07;
    case QPageLayout::Cicero:
        return 12.84;
    case QPageLayout::Point:
        break;
    }
    return 1;
}

// The preview's own page setup sets margins the sheet never takes (its margins are the page
// dialog's), and it cannot open at all for the PDF printer: it is not offered.
void hidePageSetup(QPrintPreviewDialog &dialog)
{
    const QString pageSetup = QCoreApplication::translate("QPrintPreviewDialog", "Page setup");
    for (QAction *action : dialog.findChildren<QAction *>())
        if (action->text() == pageSetup)
            action->setVisible(false);
}

} // namespace

void preparePrinter(QPrinter &printer, const OutputOptions &options, QSize sheetPixels)
{
    printer.setPageSize(QPageSize(options.paper));
    printer.setPageOrientation(pageOrientation(sheetPixels, options.orientation));
    printer.setFullPage(true);
}

namespace {

// Where the sheet goes on the printer's paper: within the options' margins, widened to the
// printer's own, or within the printer's own alone.
std::optional<SheetPlacement> printPlacement(const QPrinter &printer, QSize pixels,
                                             const OutputOptions &options)
{
    const QPageLayout layout = printer.pageLayout();
    // A printer that cannot print to the paper's edge gets at least its own margins.
    const QMarginsF least = layout.minimumMargins() * pointsPerUnit(layout.units());
    const QMarginsF wanted = marginPoints(options.marginMm);
    const QMarginsF margins(
        std::max(wanted.left(), least.left()), std::max(wanted.top(), least.top()),
        std::max(wanted.right(), least.right()), std::max(wanted.bottom(), least.bottom()));
    const QSizeF paper = layout.fullRectPoints().size();
    std::optional<SheetPlacement> placement = placeSheet(pixels, options.dpi, paper, margins);
    // Paper chosen in the preview that is too small for the margins still gets the sheet,
    // within the printer's own margins.
    if (!placement)
        placement = placeSheet(pixels, options.dpi, paper, least);
    return placement;
}

} // namespace

bool printSheet(QPrinter &printer, const CanvasSource &sheet, const OutputOptions &options)
{
    return printSheet(printer, SheetPages{&sheet}, options);
}

bool printSheet(QPrinter &printer, const SheetPages &pages, const OutputOptions &options)
{
    if (pages.empty())
        return false;
    std::vector<SheetPlacement> placements;
    for (const CanvasSource *page : pages) {
        const std::optional<SheetPlacement> placement =
            printPlacement(printer, wholeSheetSize(*page), options);
        if (!placement)
            return false;
        placements.push_back(*placement);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    bool painted = true;
    for (std::size_t p = 0; p < pages.size() && painted; ++p) {
        if (p > 0)
            painted = printer.newPage();
        painted =
            painted && paintSheetPage(painter, *pages[p],
                                      pointsToDevice(placements[p].sheet, printer.resolution()),
                                      options.transparent);
    }
    return painter.end() && painted;
}

void printPreview(Platform &platform, QWidget *parent, const SheetPages &pages,
                  const UserSettings &settings, std::optional<int> sheetDpi)
{
    if (pages.empty())
        return;
    OutputOptions options = settings.loadOutputOptions();
    if (sheetDpi)
        options.dpi = *sheetDpi;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, options, wholeSheetSize(*pages.front()));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(QStringLiteral("Печать"));
    hidePageSetup(dialog);
    bool painted = true;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *target) {
        painted = printSheet(*target, pages, options) && painted;
    });
    platform.execDialog(dialog);
    if (!painted)
        platform.messageBox(outOfMemoryMessage(), applicationTitle(), MsgIcon::Information,
                            MsgButtons::Ok);
}

void printPreview(Platform &platform, QWidget *parent, const CanvasSource &sheet,
                  const UserSettings &settings, std::optional<int> sheetDpi)
{
    printPreview(platform, parent, SheetPages{&sheet}, settings, sheetDpi);
}

void printShownSheet(Platform &platform, QWidget *parent, const SheetPages &shown,
                     const Sheet *planned, const UserSettings &settings)
{
    constexpr int kPrintDpi = 300;
    if (planned == nullptr || !isVectorSet(*planned)) {
        printPreview(platform, parent, shown, settings);
        return;
    }
    const auto sharp = planned->atResolution(kPrintDpi);
    if (const auto *refused = std::get_if<QString>(&sharp)) {
        platform.messageBox(*refused, applicationTitle(), MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const std::vector<Sheet> pages = pagesOf(std::get<Sheet>(sharp));
    printPreview(platform, parent, sheetPages(pages), settings, kPrintDpi);
}

} // namespace vexilo
