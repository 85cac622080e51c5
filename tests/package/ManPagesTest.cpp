// The three programs as a user starts them: --help, -v and a usage error, each against the
// manual page that documents it.
#include "common/Version.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QFileInfo>
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

TEST(ManPages, WithoutARuntimeFolderStandardErrorHoldsOnlyTheProgramsOwnLines)
{
    vexilo::test::TempAppFolder work;
    // The window as installed, so that it keeps its files in the home folder given here; the
    // folder it makes there at start says that Qt has started, and the window is stopped then.
    work.makeFolder(QStringLiteral("bin"));
    work.makeFolder(QStringLiteral("share"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEXILO_APP_DIR "/vexilo"),
                            work.file(QStringLiteral("bin/vexilo"))));
    ASSERT_TRUE(
        QFile::link(QStringLiteral(VEXILO_APP_DIR), work.file(QStringLiteral("share/vexilo"))));
    const QString userData = work.file(QStringLiteral("home/.local/share/Vexilo"));
    const struct
    {
        QString program;
        QStringList args;
        bool window = false;
    } cases[] = {
        {QStringLiteral(VEXILO_APP_DIR "/vexilo-glyphs"), {QStringLiteral("--help")}},
        {QStringLiteral(VEXILO_APP_DIR "/vexilo-glyphs"), {QStringLiteral("--list-fonts")}},
        {QStringLiteral(VEXILO_APP_DIR "/vexilo-glyphs"),
         {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"), QStringLiteral("-o"),
          work.file(QStringLiteral("набор"))}},
        {QStringLiteral(VEXILO_APP_DIR "/vexilo-render"),
         {QStringLiteral("-y"), QStringLiteral("2027"), QStringLiteral("-m"), QStringLiteral("1"),
          QStringLiteral("-o"), work.file(QStringLiteral("k"))}},
        {work.file(QStringLiteral("bin/vexilo")), {}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((QFileInfo(c.program).fileName() + u' ' + c.args.join(u' ')).toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "XDG_DATA_HOME"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), work.file(QStringLiteral("home")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(c.program, c.args);
        ASSERT_TRUE(process.waitForStarted(60000));
        if (c.window) {
            for (int i = 0;
                 i < 600 && !QFileInfo(userData).isDir() && process.state() == QProcess::Running;
                 ++i)
                process.waitForFinished(100);
            EXPECT_TRUE(QFileInfo(userData).isDir()) << "the window did not start";
            process.terminate();
        }
        ASSERT_TRUE(process.waitForFinished(60000));
        if (!c.window) {
            EXPECT_EQ(process.exitCode(), 0);
        }
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_FALSE(err.contains(QStringLiteral("QStandardPaths"))) << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("XDG_RUNTIME_DIR"))) << err.toStdString();
    }
}
