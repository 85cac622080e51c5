#pragma once

#include <QImage>

namespace vexilo {

// Memory for a canvas image (RGB32, or ARGB32_Premultiplied for a transparent background), not
// yet cleared. Large ones get memory that the system can hand out in big pages, which is much
// faster to touch for the first time than small pages.
QImage canvasBuffer(QSize size, QImage::Format format = QImage::Format_RGB32);

// A white image of the given logical size, drawn at the screen's device pixel ratio: at 2 it
// holds twice the pixels each way, so lines and numbers stay sharp on a HiDPI screen. Drawing on
// it is in logical pixels.
QImage blankPicture(int width, int height, qreal devicePixelRatio = 1.0);

} // namespace vexilo
