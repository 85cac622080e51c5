#pragma once

#include <QString>

#include <memory>

namespace vexilo {

struct Declare;
class Platform;
class frmForma;

// Start-up: the application folder, the month lengths, the holidays, the main window shown
// without blocking, then the settings. Returns the main window; the caller runs the loop.
std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const QString &reportedFolder);

} // namespace vexilo
