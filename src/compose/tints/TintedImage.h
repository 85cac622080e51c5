#pragma once

#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QRgb>

#include <functional>

namespace vexilo {

// A colour function of a tint: an opaque colour in, an opaque colour out.
using ColourTint = std::function<QRgb(QRgb)>;

// The bitmap of the whole image with every pixel passed through `tint`, read as opaque
// RGB32; a null image gives a bitmap with no matrix.
clsPixel tintedBitmap(const QImage &image, const ColourTint &tint);

// The image with every colour passed through `tint` and its alpha kept: an opaque RGB32 image
// stays RGB32, an image with alpha comes back premultiplied ARGB32, each pixel's colour tinted
// apart from its coverage, so transparent stays transparent. A null image stays null.
QImage tintedImage(const QImage &image, const ColourTint &tint);

} // namespace vexilo
