#include "ImageFiles.h"

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

bool encodeImage(const QImage &image, const char *format, QIODevice &device)
{
    QImageWriter writer(&device, format);
    return writer.write(image);
}

Producer imageProducer(const QImage &image, const char *format)
{
    return [&image, format](QIODevice &device) { return encodeImage(image, format, device); };
}

} // namespace vexilo
