#include "PrintTools.h"

#include "cli/RenderCommand.h"
#include "compose/GlyphSet.h"

#include <QDir>
#include <QFileInfo>
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

std::vector<QImage> pdfImages(const QString &pdf, const QString &prefix)
{
    run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix});
    std::vector<QImage> images;
    for (int n = 0;; ++n) {
        const QString file = prefix + QStringLiteral("-%1.png").arg(n, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(file))
            return images;
        images.push_back(QImage(file).convertToFormat(QImage::Format_RGB32));
    }
}

bool areBandsOf(const std::vector<QImage> &images, const QImage &sheet)
{
    int from = 0;
    for (const QImage &image : images) {
        if (image.width() != sheet.width())
            return false;
        while (from + image.height() <= sheet.height() &&
               sheet.copy(0, from, sheet.width(), image.height()) != image)
            ++from;
        if (from + image.height() > sheet.height())
            return false;
        from += image.height();
    }
    return !images.empty();
}

std::vector<QImage> rowImages(const QString &base, int count)
{
    std::vector<QImage> rows;
    for (int n = 1; n <= count; ++n)
        rows.push_back(QImage(base + QStringLiteral("_ряд%1.bmp").arg(n))
                           .convertToFormat(QImage::Format_RGB32));
    return rows;
}

} // namespace vexilo::test
