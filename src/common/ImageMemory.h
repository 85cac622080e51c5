#pragma once

#include <QImage>

namespace vexilo {

// Memory for a canvas image (RGB32, or ARGB32_Premultiplied for a transparent background), not
// yet cleared. Large ones get memory that the system can hand out in big pages, which is much
// faster to touch for the first time than small pages.
QImage canvasBuffer(QSize size, QImage::Format format = QImage::Format_RGB32);

} // namespace vexilo
