#include "SaveSheetM.h"

#include "common/ProgramText.h"
#include "common/SaveChecks.h"
#include "compose/sheet/SheetLayout.h"
#include "platform/Platform.h"
#include "platform/SaveReport.h"
#include "shell/UserSettings.h"
#include "shell/frmStranitsa.h"

#include <QPrinter>

namespace vexilo {

QString apiOpenSave(Platform &platform, const QString &startFolder, const QStringList &filters,
                    int *chosenFilter)
{
    QStringList all = filters;
    all.append(QStringLiteral("All Files (*.*)"));
    return platform.saveFileName(all, startFolder, chosenFilter);
}

std::optional<SaveTarget> askSaveTarget(Platform &platform, QWidget *parent,
                                        const QString &startFolder, const UserSettings &settings,
                                        QSize sheetPixels, bool vectorSet)
{
    // In the order of OutputFormat; "All Files" saves BMP like the first.
    const QStringList filters = {
        QStringLiteral("Рисунок (*.bmp)"), QStringLiteral("Рисунок PNG (*.png)"),
        QStringLiteral("Документ PDF (*.pdf)"), QStringLiteral("Рисунок SVG (*.svg)")};
    int chosen = 0;
    SaveTarget target;
    target.chosenName = apiOpenSave(platform, startFolder, filters, &chosen);
    if (target.chosenName.isEmpty())
        return std::nullopt;
    if (chosen < 1 || chosen > 3)
        return target; // BMP: the rows as they are drawn, at 96 dpi
    OutputOptions remembered = settings.loadOutputOptions();
    remembered.format = chosen == 1   ? OutputFormat::Png
                        : chosen == 2 ? OutputFormat::Pdf
                                      : OutputFormat::Svg;
    frmStranitsa dialog(remembered, sheetPixels, parent, vectorSet);
    if (platform.execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    target.options = dialog.options();
    settings.saveOutputOptions(target.options);
    return target;
}

void saveSheet(Platform &platform, const CanvasSource &sheet, const SaveTarget &target,
               const QString &Razdelitel)
{
    saveDocument(platform, {&sheet}, target, Razdelitel);
}

void saveDocument(Platform &platform, const SheetPages &pages, const SaveTarget &target,
                  const QString &Razdelitel)
{
    const QStringList names =
        documentFileNames(target.chosenName, Razdelitel, pages, target.options);
    if (const std::optional<QString> problem =
            outputFolderProblem(names.constFirst(), names.size())) {
        platform.messageBox(*problem, applicationTitle(), MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const SafeWriteResult result =
        writeDocument(pages, names, target.options, platform.saveFaults());
    reportWriteFailure(platform, result);
}

void saveShownSheet(Platform &platform, const SheetPages &shown, const Sheet *planned,
                    const SaveTarget &target, const QString &Razdelitel)
{
    const OutputFormat format = target.options.format;
    const bool vectorSet = planned != nullptr && isVectorSet(*planned);
    // The window's canvases are white: a transparent file is drawn again from the glyphs.
    if (planned != nullptr && (format == OutputFormat::Svg || target.options.transparent ||
                               (vectorSet && format == OutputFormat::Pdf))) {
        const std::vector<Sheet> pages = pagesOf(*planned);
        saveDocument(platform, sheetPages(pages), target, Razdelitel);
        return;
    }
    if (vectorSet && target.options.dpi != kDefaultDpi) {
        const auto sharper = planned->atResolution(target.options.dpi);
        if (const auto *refused = std::get_if<QString>(&sharper)) {
            platform.messageBox(*refused, applicationTitle(), MsgIcon::Critical, MsgButtons::Ok);
            return;
        }
        const std::vector<Sheet> pages = pagesOf(std::get<Sheet>(sharper));
        saveDocument(platform, sheetPages(pages), target, Razdelitel);
        return;
    }
    saveDocument(platform, shown, target, Razdelitel);
}

} // namespace vexilo
