#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace vexilo {

class Platform;

// The save dialog (saveMode non-zero) with the caller's filter and "All Files (*.*)",
// starting in the given folder; empty when cancelled.
QString apiOpenSave(Platform &platform, const QString &startFolder, qint16 saveMode,
                    const QString &initialName, const QString &filter);

// Writes the canvases as BMP files named after the chosen name; a failure is reported once.
void saveSheet(Platform &platform, const std::vector<QImage> &canvases, const QString &chosenName,
               const QString &Razdelitel);

} // namespace vexilo
