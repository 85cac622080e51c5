#pragma once

#include <QString>

namespace vexilo {

// The project's version as the build gives it, e.g. "2.1".
QString projectVersion();
// The reverse-DNS application id: the names of the installed desktop file, metadata and icon.
QString applicationId();
// The line a program prints for --version: "vexilo-render 2.1".
QString versionLine(const QString &program);

// The name and version of the running application. The name also names the user's data
// folder, so every program of the project sets it the same.
void setApplicationIdentity();

// For a program's main before anything else: when the arguments are exactly "--version" or "-v",
// prints the version line to standard output and returns true. Needs no display and no
// application object.
bool printVersionIfAsked(int argc, char *argv[], const char *program);

} // namespace vexilo
