#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace vexilo::test {

// A fresh application folder for one test; its path ends with "/".
class TempAppFolder
{
public:
    TempAppFolder();

    QString path() const { return m_path; }
    QString file(const QString &name) const { return m_path + name; }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    void makeFolder(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace vexilo::test
