#pragma once

#include <QImage>

namespace vexilo {

// Memory for an RGB32 canvas image, not yet cleared. Large ones get memory that the system can
// hand out in big pages, which is much faster to touch for the first time than small pages.
QImage canvasBuffer(QSize size);

} // namespace vexilo
