#pragma once

#include "common/SafeFile.h"

#include <QImage>
#include <QString>
#include <QStringList>

class QIODevice;

namespace vexilo {

// 1-based position of the dot that starts the extension of the last path component; 0 when
// that component has none.
qint32 PoiskTochki(const QString &name, const QString &Razdelitel);

// The chosen name without its extension, then ".bmp" (or the given extension) for one
// canvas, or "_ряд1", "_ряд2" … for several.
QStringList exportFileNames(const QString &chosenName, const QString &Razdelitel,
                            qint32 KolRisunkov, const QString &extension = QStringLiteral(".bmp"));

// The image in the named format ("bmp": uncompressed 24-bit rows; "png"), with its dots per
// metre. Qt's own writers, so the files are what every viewer expects.
bool encodeImage(const QImage &image, const char *format, QIODevice &device);

// The image's file content in that format, for the safe writers and SafeFileBatch::stage. The
// image must live until the producer has run.
Producer imageProducer(const QImage &image, const char *format);

} // namespace vexilo
