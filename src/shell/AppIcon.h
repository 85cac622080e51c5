#pragma once

#include <QIcon>

namespace vexilo {

// The program's icon, drawn at the sizes the desktop asks for most.
QIcon applicationIcon();

} // namespace vexilo
