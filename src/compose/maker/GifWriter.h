#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vexilo {

// A GIF made of one image. Pixels with alpha 0 become the transparent colour; every other
// pixel is composited onto white, the ground the loader puts transparent pixels on. Up to
// 255 distinct colours are kept exactly; more are reduced channel by channel until they fit.
struct GifEncoding
{
    QByteArray bytes; // empty on failure
    QString error;
};
GifEncoding encodeGif(const QImage &image);

} // namespace vexilo
