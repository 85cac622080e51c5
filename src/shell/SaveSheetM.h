#pragma once

#include "compose/output/SheetDocument.h"
#include "compose/output/SheetOutput.h"
#include "compose/output/SheetRender.h"

#include <QSize>
#include <QString>

#include <optional>

class QWidget;

namespace vexilo {

class Platform;
class UserSettings;

// The save dialog with the caller's filters and "All Files (*.*)", starting in the given
// folder; empty when cancelled. `chosenFilter` gets the index of the filter the user picked.
QString apiOpenSave(Platform &platform, const QString &startFolder, const QStringList &filters,
                    int *chosenFilter = nullptr);

struct SaveTarget
{
    QString chosenName;
    OutputOptions options;
};

// Asks for the file name and type ("Рисунок (*.bmp)" first), and for PNG and PDF the
// resolution and page in a small dialog, which shows how large the sheet of `sheetPixels` comes
// out on paper; nothing when the user cancels either.
std::optional<SaveTarget> askSaveTarget(Platform &platform, QWidget *parent,
                                        const QString &startFolder, const UserSettings &settings,
                                        QSize sheetPixels, bool vectorSet = false);

// Writes the sheet, or every page of a document, as the target says; a failure is reported
// once.
void saveSheet(Platform &platform, const CanvasSource &sheet, const SaveTarget &target,
               const QString &Razdelitel);
void saveDocument(Platform &platform, const SheetPages &pages, const SaveTarget &target,
                  const QString &Razdelitel);

// The window's save of every page: the canvases as it shows them, unless the file needs the
// glyphs themselves (SVG, a transparent background, a vector set's PDF) or a vector set is
// asked for more pixels than the window shows; then the sheet it planned is drawn again for
// the file.
void saveShownSheet(Platform &platform, const SheetPages &shown, const Sheet *planned,
                    const SaveTarget &target, const QString &Razdelitel);

} // namespace vexilo
