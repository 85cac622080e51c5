#pragma once

#include "cli/ViewOptions.h"

#include <QString>
#include <QStringList>

#include <variant>

class QTextStream;

namespace vexilo {

class AppPaths;

// Exit statuses of the command-line renderer.
enum RenderStatus { RenderOk = 0, RenderFailed = 1, RenderUsage = 2 };

// Runs `vexilo-render` with its arguments (the program name first). Files written and the
// sheet size go to `out`, messages to `err`. `paths` says where the glyph sets and
// "Праздники.dat" are looked for.
int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const AppPaths &paths);
// The same with everything beside the program in `programFolder`.
int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const QString &programFolder);

// What the arguments ask to draw (the year, the month, the months per row and the view), or
// the usage reason: the renderer's parse, before anything is read.
std::variant<ViewRequest, QString> renderViewOf(const QStringList &arguments);

} // namespace vexilo
