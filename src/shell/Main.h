#pragma once

#include <QString>

#include <memory>

namespace vexilo {

struct Declare;
class AppPaths;
class Platform;
class frmForma;

// Start-up: the application folder, the month lengths, the holidays, the main window shown
// without blocking, then the settings. Returns the main window; the caller runs the loop.
// The files live where locateAppPaths says for that folder.
std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const QString &reportedFolder);
// The same with the files where `paths` says (the program's folder is paths.programFolder()).
std::unique_ptr<frmForma> Main(Declare &state, Platform &platform, const AppPaths &paths);

} // namespace vexilo
