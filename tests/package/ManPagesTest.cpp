// The three programs as a user starts them: --help, -v and a usage error, each against the
// manual page that documents it.
#include "common/Version.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};

// Without a display: help and version must not need one.
ProgramRun runProgram(const QString &program, const QStringList &args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VEXILO_APP_DIR "/") + program, args);
    ProgramRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Every "-x" and "--name" in the names column of the help's option lines.
QStringList optionsInHelp(const QString &help)
{
    static const QRegularExpression name(QStringLiteral("(?<![\\w-])--?[A-Za-z][\\w-]*"));
    QStringList options;
    for (const QString &line : help.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("  -")))
            continue;
        const qsizetype gap = line.indexOf(QStringLiteral("  "), 2);
        const QString names = gap < 0 ? line : line.left(gap);
        for (const auto &match : name.globalMatch(names))
            options << match.captured();
    }
    return options;
}

// The page's text as man shows it: roff's escaped hyphens plain, its font changes gone.
QString manPageText(const QString &program)
{
    QFile file(QStringLiteral(VEXILO_MAN_DIR "/") + program + QStringLiteral(".1"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression fontChange(QStringLiteral("\\\\f[BIRP]"));
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .remove(fontChange);
}

bool mentions(const QString &page, const QString &option)
{
    const QRegularExpression word(QStringLiteral("(?<![\\w-])") +
                                  QRegularExpression::escape(option) +
                                  QStringLiteral("(?![\\w-])"));
    return word.match(page).hasMatch();
}

} // namespace

TEST(ManPages, EveryOptionOfEachProgramsHelpIsInItsPageAndTheUsageIsOneStyle)
{
    struct Case
    {
        const char *program;
        int optionsAtLeast;
        bool refusesUnknownOptions; // vexilo hands the rest to Qt
    };
    for (const Case &c : {Case{"vexilo", 4, false}, Case{"vexilo-render", 28, true},
                          Case{"vexilo-glyphs", 12, true}}) {
        const QString program = QString::fromLatin1(c.program);
        SCOPED_TRACE(c.program);
        const ProgramRun help = runProgram(program, {QStringLiteral("--help")});
        ASSERT_EQ(help.status, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Использование: ") + program));
        EXPECT_TRUE(help.out.contains(QStringLiteral("Коды выхода: 0 — ")));

        const QStringList options = optionsInHelp(help.out);
        EXPECT_GE(options.size(), c.optionsAtLeast) << help.out.toStdString();
        const QString page = manPageText(program);
        ASSERT_FALSE(page.isEmpty());
        EXPECT_TRUE(page.contains(QStringLiteral(".SH EXIT STATUS")));
        for (const QString &option : options)
            EXPECT_TRUE(mentions(page, option)) << option.toStdString() << " is not in its page";

        for (const char *flag : {"-v", "--version"}) {
            const ProgramRun version = runProgram(program, {QString::fromLatin1(flag)});
            EXPECT_EQ(version.status, 0);
            EXPECT_EQ(version.out, vexilo::versionLine(program) + QLatin1Char('\n')) << flag;
        }
        if (c.refusesUnknownOptions) {
            const ProgramRun bogus = runProgram(program, {QStringLiteral("--bogus")});
            EXPECT_EQ(bogus.status, 2);
            // The last line: Qt may warn about the environment before it.
            const QStringList lines = bogus.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.constLast(),
                      QStringLiteral("%1: неизвестный параметр «--bogus». Подробнее: %1 --help")
                          .arg(program))
                << bogus.err.toStdString();
        }
    }
}
