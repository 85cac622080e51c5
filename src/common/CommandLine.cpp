#include "CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace vexilo {

namespace {

constexpr qsizetype kLineWidth = 79;
constexpr qsizetype kMaxNamesWidth = 30;

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString namesColumn(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << dashed(name);
    QString column = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        column += QLatin1Char(' ') + option.valueName();
    return column;
}

// The words of `text` in lines of at most `width` characters.
QStringList wrapped(const QString &text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QString paragraph(const QString &text)
{
    return wrapped(text, kLineWidth).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Показать эту справку и выйти."));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Показать название и версию программы и выйти."));
}

QString helpText(const CommandLineHelp &help)
{
    qsizetype namesWidth = 0;
    for (const QCommandLineOption &option : help.options)
        namesWidth = std::max(namesWidth, std::min(namesColumn(option).size(), kMaxNamesWidth));
    const qsizetype indent = 2 + namesWidth + 2;

    QString text = QStringLiteral("Использование: %1 %2\n").arg(help.program, help.synopsis);
    text += paragraph(help.description);
    text += QStringLiteral("\nПараметры:\n");
    for (const QCommandLineOption &option : help.options) {
        const QString names = QStringLiteral("  ") + namesColumn(option);
        const QStringList lines = wrapped(option.description(), kLineWidth - indent);
        // A long name gets a line of its own; the option's text starts below it.
        qsizetype first = 0;
        if (names.size() + 2 > indent) {
            text += names + QLatin1Char('\n');
        } else if (!lines.isEmpty()) {
            text += names.leftJustified(indent) + lines.constFirst() + QLatin1Char('\n');
            first = 1;
        } else {
            text += names + QLatin1Char('\n');
        }
        for (qsizetype i = first; i < lines.size(); ++i)
            text += QString(indent, QLatin1Char(' ')) + lines.at(i) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + paragraph(help.exitCodes);
    return text;
}

QString usageErrorLine(const QString &program, const QString &reason)
{
    QString text = reason;
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return QStringLiteral("%1: %2. Подробнее: %1 --help").arg(program, text);
}

QString parserErrorReason(const QCommandLineParser &parser)
{
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
        return QStringLiteral("неизвестный параметр «%1»").arg(dashed(unknown.constFirst()));
    // The parser gives no codes for the other two refusals; its English words name them.
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'"));
    static const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'"));
    const QString error = parser.errorText();
    if (const auto match = missing.match(error); match.hasMatch())
        return QStringLiteral("у параметра «%1» нет значения").arg(match.captured(1));
    if (const auto match = unexpected.match(error); match.hasMatch())
        return QStringLiteral("параметр «%1» не принимает значения").arg(match.captured(1));
    return QStringLiteral("ошибка в параметрах (%1)").arg(error);
}

QString badValueReason(const QString &option, const QString &expected, const QString &value)
{
    return QStringLiteral("значение %1 должно быть %2, а не «%3»").arg(option, expected, value);
}

} // namespace vexilo
