#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace vexilo {

// What `--help` of a program says, in the order it is printed.
struct CommandLineHelp
{
    QString program;     // "vexilo-render"
    QString synopsis;    // "[параметры]"
    QString description; // one paragraph
    QList<QCommandLineOption> options;
    QString exitCodes; // one paragraph
};

// The two options every program of the project takes, with the same words.
QCommandLineOption helpOption();    // -h, --help
QCommandLineOption versionOption(); // -v, --version

// The `--help` text: usage line, description, the options with their values, the exit codes.
QString helpText(const CommandLineHelp &help);

// One line for a usage error, in the style of every program of the project:
// "vexilo-render: неизвестный параметр «--bogus». Подробнее: vexilo-render --help".
QString usageErrorLine(const QString &program, const QString &reason);

// Why the parser refused the arguments, in Russian: the unknown option, the missing value.
QString parserErrorReason(const QCommandLineParser &parser);

// "значение --dpi должно быть от 1 до 2400, а не «0»": the reason for a refused value.
QString badValueReason(const QString &option, const QString &expected, const QString &value);

} // namespace vexilo
