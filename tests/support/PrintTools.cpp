#include "PrintTools.h"

#include "cli/RenderCommand.h"
#include "compose/GlyphSet.h"

#include <QDir>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

namespace vexilo::test {

QString writeGlyphs(const TempAppFolder &app)
{
    const QString folder = app.path() + QStringLiteral("set/");
    QDir().mkpath(folder);
    for (int d = 0; d < 10; ++d) {
        QImage digit(6, 9, QImage::Format_RGB32);
        digit.fill(QColor(20 * d, 40, 200 - 10 * d));
        digit.save(folder + digitFileName(d), "PNG");
    }
    QImage weekday(12, 9, QImage::Format_RGB32);
    weekday.fill(Qt::darkGreen);
    for (const QString &name : weekdayFileNames())
        weekday.save(folder + name, "PNG");
    return folder;
}

int render(const TempAppFolder &app, QStringList args)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    args.prepend(QStringLiteral("vexilo-render"));
    args << QStringLiteral("-g") << app.path() + QStringLiteral("set") << QStringLiteral("-y")
         << QStringLiteral("2027");
    return runRender(args, outStream, errStream, app.path());
}

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QSizeF pdfPageSize(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           1"))) << info.toStdString();
    const qsizetype at = info.indexOf(QStringLiteral("Page size:"));
    const QStringList words = info.mid(at + 10).simplified().split(u' ');
    return {words.value(0).toDouble(), words.value(2).toDouble()};
}

QImage pdfImage(const QString &pdf, const QString &prefix)
{
    run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral("-000.png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace vexilo::test
