#pragma once

#include <QByteArray>
#include <QSize>

namespace vexilo {

// Whether the first image of a GIF is there to its last data block. The decoder shows a cut
// file as far as it goes and calls that success. `declared` gets the larger of the logical
// screen and the first image's extent: what the decoder will allocate.
bool gifImageComplete(const QByteArray &bytes, QSize *declared = nullptr);

// Whether a GIF, BMP or JPEG stops before its image does; other formats fail by themselves.
bool isCut(const QByteArray &bytes);

// "gif", "png", "bmp" or "jpeg" from the file's first bytes; empty for anything else.
QByteArray formatBySignature(const QByteArray &bytes);

} // namespace vexilo
