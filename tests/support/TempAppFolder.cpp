#include "TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vexilo::test {

TempAppFolder::TempAppFolder() : m_path(m_dir.path() + QLatin1Char('/')) {}

void TempAppFolder::write(const QString &name, const QByteArray &bytes) const
{
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile out(full);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempAppFolder::read(const QString &name) const
{
    QFile in(file(name));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

void TempAppFolder::makeFolder(const QString &name) const
{
    QDir().mkpath(file(name));
}

} // namespace vexilo::test
