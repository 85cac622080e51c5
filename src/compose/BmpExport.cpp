#include "BmpExport.h"

#include "common/SafeFile.h"

#include <QIODevice>
#include <QImageWriter>

namespace vexilo {

qint32 PoiskTochki(const QString &name, const QString &Razdelitel)
{
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        if (!Razdelitel.isEmpty() && name[i] == Razdelitel.front())
            return 0;
        if (name[i] == u'.')
            return static_cast<qint32>(i + 1);
    }
    return 0;
}

QStringList exportFileNames(const QString &chosenName, const QString &Razdelitel,
                            qint32 KolRisunkov, const QString &extension)
{
    QString base = chosenName;
    if (const qint32 p = PoiskTochki(base, Razdelitel); p > 0)
        base.truncate(p - 1);
    if (KolRisunkov <= 0)
        return {base + extension};
    QStringList names;
    for (qint32 n = 1; n <= KolRisunkov + 1; ++n)
        names.append(base + QStringLiteral("_ряд") + QString::number(n) + extension);
    return names;
}

namespace {

ExportResult exportResult(const QString &path, const SafeWriteResult &result)
{
    if (result.ok)
        return {};
    return {false, path, result.errorString};
}

void putLe(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

} // namespace

bool encodeBmp(const QImage &image, QIODevice &device)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "rows are written as they lie in memory");
    const QImage source = image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<quint32>(source.width());
    const auto height = static_cast<quint32>(source.height());
    const quint32 rowBytes = width * 4;
    const quint32 pixelBytes = rowBytes * height;
    constexpr quint32 kHeaderBytes = 14 + 40;
    constexpr quint32 kPixelsPerMetre = 3780; // 96 dots per inch

    QByteArray header;
    header.append("BM");
    putLe(header, kHeaderBytes + pixelBytes, 4);
    putLe(header, 0, 4);
    putLe(header, kHeaderBytes, 4);
    putLe(header, 40, 4); // BITMAPINFOHEADER
    putLe(header, width, 4);
    putLe(header, height, 4); // positive: rows from the bottom up
    putLe(header, 1, 2);
    putLe(header, 32, 2);
    putLe(header, 0, 4); // no compression
    putLe(header, pixelBytes, 4);
    putLe(header, kPixelsPerMetre, 4);
    putLe(header, kPixelsPerMetre, 4);
    putLe(header, 0, 4);
    putLe(header, 0, 4);
    if (device.write(header) != header.size())
        return false;
    // A 32-bit row is blue, green, red and an unused byte per pixel: exactly how an RGB32
    // image holds it, so each row goes out as it is.
    for (int y = source.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const char *>(source.constScanLine(y));
        if (device.write(row, rowBytes) != qint64(rowBytes))
            return false;
    }
    return true;
}

Producer bmpProducer(const QImage &image)
{
    return [&image](QIODevice &device) { return encodeBmp(image, device); };
}

Producer pngProducer(const QImage &image)
{
    return [&image](QIODevice &device) {
        QImageWriter writer(&device, "png");
        return writer.write(image);
    };
}

ExportResult writeBmp(const QString &path, const QImage &image)
{
    return exportResult(path,
                        writeFileSafely(path, bmpProducer(image), {Durability::Unsynced, {}}));
}

ExportResult writePng(const QString &path, const QImage &image)
{
    return exportResult(path,
                        writeFileSafely(path, pngProducer(image), {Durability::Unsynced, {}}));
}

QString exportFailureMessage(const ExportResult &result)
{
    QString message = QStringLiteral("Не удалось сохранить файл «%1».").arg(result.failedPath);
    if (!result.errorString.isEmpty())
        message += QLatin1Char(' ') + result.errorString;
    return message;
}

QString exportFailureMessage(const SafeWriteResult &result)
{
    return exportFailureMessage(ExportResult{result.ok, result.path, result.errorString});
}

} // namespace vexilo
