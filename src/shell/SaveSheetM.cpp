#include "SaveSheetM.h"

#include "common/ProgramText.h"
#include "compose/BmpExport.h"
#include "platform/Platform.h"

namespace vexilo {

QString apiOpenSave(Platform &platform, const QString &startFolder, qint16 saveMode,
                    const QString &initialName, const QString &filter)
{
    Q_UNUSED(saveMode); // the program only ever saves
    Q_UNUSED(initialName);
    QStringList filters;
    if (!filter.isEmpty())
        filters.append(filter);
    filters.append(QStringLiteral("All Files (*.*)"));
    return platform.saveFileName(filters, startFolder);
}

void saveSheet(Platform &platform, const std::vector<QImage> &canvases, const QString &chosenName,
               const QString &Razdelitel)
{
    const QStringList names =
        exportFileNames(chosenName, Razdelitel, static_cast<qint32>(canvases.size()) - 1);
    for (std::size_t i = 0; i < canvases.size(); ++i) {
        const ExportResult result = writeBmp(names[static_cast<qsizetype>(i)], canvases[i]);
        if (!result.ok) {
            // The files written before this one stay; the rest would fail alike.
            platform.messageBox(exportFailureMessage(result), applicationTitle(), MsgIcon::Critical,
                                MsgButtons::Ok);
            return;
        }
    }
}

} // namespace vexilo
