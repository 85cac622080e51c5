#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vexilo {

// The program's two text files are single-byte Windows-1251 with CR LF line ends.
QByteArray toWindows1251(const QString &text);
QString fromWindows1251(const QByteArray &bytes);

// Each line followed by CR LF, then one more CR LF: the file ends with an empty line.
QByteArray textFileContent(const QStringList &lines);

// Lines of a text file, accepting CR LF, LF or a lone CR; the text after the last line end,
// if any, is the last line. Text after a UTF-8 byte-order mark is read as UTF-8.
QStringList textFileLines(const QByteArray &bytes);

} // namespace vexilo
