#include "PrintTools.h"

#include "cli/RenderCommand.h"
#include "compose/glyphs/GlyphSet.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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

QString writeSvgGlyphs(const TempAppFolder &app)
{
    const QString folder = app.path() + QStringLiteral("svgset/");
    QDir().mkpath(folder);
    const auto write = [&folder](const QString &name, const QString &text) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    // 6x9 px digits, in three spellings of the same size (a percentage takes the view box's).
    const QStringList sizes = {QStringLiteral("width=\"6px\" height=\"9px\""),
                               QStringLiteral("width=\"4.5pt\" height=\"6.75pt\""),
                               QStringLiteral("width=\"100%\" height=\"100%\"")};
    for (int d = 0; d < 10; ++d) {
        const QString colour = QColor::fromHsv(d * 36, 200, 180).name();
        write(digitFileName(d, GlyphKind::Vector),
              QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" %1 viewBox=\"0 0 6 9\">"
                             "<style>.ink{fill:%2}</style>"
                             "<rect class=\"ink\" x=\"1\" y=\"1\" width=\"4\" height=\"%3\"/>"
                             "<path d=\"M0 8h6v1H0z\" fill=\"%2\"/></svg>")
                  .arg(d == 0 ? sizes[0] : sizes[d % 3], colour)
                  .arg(2 + d % 6));
    }
    for (std::size_t w = 0; w < 7; ++w) {
        const bool weekend = w >= 5;
        write(weekdayFileNames(GlyphKind::Vector)[w],
              QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"12\" height=\"9\">"
                             "<g transform=\"translate(1 1)\"><rect width=\"10\" height=\"7\" "
                             "style=\"fill:#206020\"/>%1</g></svg>")
                  .arg(weekend ? QStringLiteral("<rect x=\"2\" y=\"2\" width=\"2\" height=\"3\" "
                                                "fill=\"white\"/>")
                               : QString()));
    }
    return folder;
}

ImageDifference compareImages(const QImage &expected, const QImage &actual)
{
    ImageDifference difference;
    if (expected.size() != actual.size())
        return difference;
    const QImage a = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage b = actual.convertToFormat(QImage::Format_ARGB32);
    difference = {0, 0};
    const auto channels = [](QRgb p, QRgb q) {
        return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                         std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
    };
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const int d = channels(a.pixel(x, y), b.pixel(x, y));
            difference.anywhere = std::max(difference.anywhere, d);
            bool flat = true;
            for (int dy = -1; dy <= 1 && flat; ++dy)
                for (int dx = -1; dx <= 1 && flat; ++dx)
                    flat = !a.valid(x + dx, y + dy) || a.pixel(x + dx, y + dy) == a.pixel(x, y);
            if (flat)
                difference.awayFromEdges = std::max(difference.awayFromEdges, d);
        }
    }
    return difference;
}

int render(const TempAppFolder &app, QStringList args)
{
    return renderWith(app, QStringLiteral("set"), std::move(args));
}

int renderWith(const TempAppFolder &app, const QString &set, QStringList args)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    args.prepend(QStringLiteral("vexilo-render"));
    args << QStringLiteral("-g") << app.path() + set << QStringLiteral("-y")
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

std::vector<QSizeF> pdfPageSizes(const QString &pdf)
{
    const QString info =
        run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                        QStringLiteral("-l"), QStringLiteral("9999"), pdf});
    std::vector<QSizeF> sizes;
    static const QRegularExpression page(QStringLiteral("Page +\\d+ size: +([0-9.]+) x ([0-9.]+)"));
    for (auto match = page.globalMatch(info); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        sizes.emplace_back(found.captured(1).toDouble(), found.captured(2).toDouble());
    }
    return sizes;
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
