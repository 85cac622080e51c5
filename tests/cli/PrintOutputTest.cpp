// The sheet on its way to paper: the whole sheet in one image, PNG and BMP resolution, PDF
// pages from the renderer and from the window's printer.
#include "cli/RenderCommand.h"
#include "compose/SheetOutput.h"
#include "shell/PrintSheet.h"

#include "compose/GlyphSet.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTextStream>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

// Digits and names of different colours, so a misplaced canvas changes pixels.
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

// The page size line of pdfinfo, in points.
QSizeF pdfPageSize(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           1"))) << info.toStdString();
    const qsizetype at = info.indexOf(QStringLiteral("Page size:"));
    const QStringList words = info.mid(at + 10).simplified().split(u' ');
    return {words.value(0).toDouble(), words.value(2).toDouble()};
}

// The one image a PDF embeds, as its own pixels.
QImage pdfImage(const QString &pdf, const QString &prefix)
{
    run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral("-000.png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace

// Pixels per metre are the dpi divided by 0.0254, rounded: truncating would write 3779 for the
// default 96 dpi and 2834 for 72, which other programs then read as 95.99 and 71.98 dpi.
TEST(PrintOutput, BmpAndPngCarryTheirResolutionRounded)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    const std::vector<std::pair<QStringList, qint32>> cases = {
        {{}, 3780},
        {{QStringLiteral("--dpi"), QStringLiteral("96")}, 3780},
        {{QStringLiteral("--dpi"), QStringLiteral("72")}, 2835},
        {{QStringLiteral("--dpi"), QStringLiteral("150")}, 5906},
        {{QStringLiteral("--dpi"), QStringLiteral("1")}, 39},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto &[args, perMetre] = cases[i];
        const QString name = dir + QStringLiteral("r%1").arg(i);
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-m"), QStringLiteral("3"),
                                          QStringLiteral("-o"), name} +
                                  args),
                  RenderOk);
        ASSERT_EQ(
            render(app, QStringList{QStringLiteral("-m"), QStringLiteral("3"), QStringLiteral("-o"),
                                    name, QStringLiteral("--format"), QStringLiteral("png")} +
                            args),
            RenderOk);
        QFile bmp(name + QStringLiteral(".bmp"));
        ASSERT_TRUE(bmp.open(QIODevice::ReadOnly)) << i;
        const QByteArray header = bmp.read(54);
        EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 38), perMetre) << i;
        EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 42), perMetre) << i;
        const QImage png(name + QStringLiteral(".png"));
        EXPECT_EQ(png.dotsPerMeterX(), perMetre) << i;
        EXPECT_EQ(png.dotsPerMeterY(), perMetre) << i;
    }
}

TEST(PrintOutput, WholeSheetPngBmpAndPdfCarryTheSheetsExactPixels)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    ASSERT_EQ(render(app, {QStringLiteral("-o"), dir + QStringLiteral("rows"),
                           QStringLiteral("--dpi"), QStringLiteral("300")}),
              RenderOk);
    ASSERT_EQ(render(app, {QStringLiteral("-o"), dir + QStringLiteral("whole"),
                           QStringLiteral("--whole"), QStringLiteral("--format"),
                           QStringLiteral("png"), QStringLiteral("--dpi"), QStringLiteral("300")}),
              RenderOk);

    // The rows stacked at the window's pitch (the height plus "Месяцы Y", white between).
    std::vector<QImage> rows;
    for (int n = 1; n <= 3; ++n)
        rows.push_back(QImage(dir + QStringLiteral("rows_ряд%1.bmp").arg(n))
                           .convertToFormat(QImage::Format_RGB32));
    const qint32 pitch = rows[0].height() + 20;
    const QImage stacked = wholeSheet(DrawnCanvases(rows, pitch));
    const QImage whole =
        QImage(dir + QStringLiteral("whole.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(whole.size(), QSize(rows[0].width(), 3 * pitch - 20));
    EXPECT_EQ(whole, stacked);
    EXPECT_EQ(QImage(dir + QStringLiteral("whole.png")).dotsPerMeterX(), 11811);

    // 300 dpi in the BMP header's pixels per metre.
    QFile bmp(dir + QStringLiteral("rows_ряд1.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(54);
    EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 38), 11811);

    struct PdfCase
    {
        QStringList args;
        QSizeF points;
    };
    const std::vector<PdfCase> cases = {
        {{}, {595, 842}},
        {{QStringLiteral("--paper"), QStringLiteral("A3"), QStringLiteral("--landscape")},
         {1191, 842}},
        {{QStringLiteral("--paper"), QStringLiteral("Letter")}, {612, 792}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QString name = dir + QStringLiteral("page%1").arg(i);
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), name, QStringLiteral("--format"),
                                          QStringLiteral("pdf")} +
                                  cases[i].args),
                  RenderOk);
        EXPECT_EQ(pdfPageSize(name + QStringLiteral(".pdf")).toSize(), cases[i].points.toSize());
        EXPECT_EQ(pdfImage(name + QStringLiteral(".pdf"), name), stacked) << i;
    }
}

TEST(PrintOutput, PlacementKeepsThePhysicalSizeAndOnlyEverShrinks)
{
    const QRectF letter(0, 0, 8.5 * 72, 11 * 72); // points
    struct Case
    {
        QSize pixels;
        int dpi;
        QRectF expected;
    };
    const std::vector<Case> cases = {
        // 2400 px at 300 dpi are 8 inches, centred.
        {{2400, 1200}, 300, {0.25 * 72, 3.5 * 72, 8 * 72, 4 * 72}},
        // Too wide at 96 dpi: scaled down to the page width, aspect kept.
        {{1700, 850}, 96, {0, 11 * 36 - 8.5 * 18, 8.5 * 72, 8.5 * 36}},
        // Small sheets stay small.
        {{96, 48}, 96, {8.5 * 36 - 36, 11 * 36 - 18, 72, 36}},
    };
    for (const Case &c : cases) {
        const QRectF placed = placeOnPage(c.pixels, c.dpi, letter, 72);
        EXPECT_NEAR(placed.x(), c.expected.x(), 1e-6);
        EXPECT_NEAR(placed.y(), c.expected.y(), 1e-6);
        EXPECT_NEAR(placed.width(), c.expected.width(), 1e-6);
        EXPECT_NEAR(placed.height(), c.expected.height(), 1e-6);
    }
}

TEST(PrintOutput, ThePrintersPdfFileIsTheRenderersPage)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    ASSERT_EQ(
        render(app, {QStringLiteral("-o"), dir + QStringLiteral("cli"), QStringLiteral("--format"),
                     QStringLiteral("pdf"), QStringLiteral("--dpi"), QStringLiteral("150"),
                     QStringLiteral("--paper"), QStringLiteral("A5")}),
        RenderOk);
    ASSERT_EQ(
        render(app, {QStringLiteral("-o"), dir + QStringLiteral("sheet"), QStringLiteral("--whole"),
                     QStringLiteral("--format"), QStringLiteral("png")}),
        RenderOk);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir + QStringLiteral("printed.pdf"));
    OutputOptions options;
    options.dpi = 150;
    options.paper = QPageSize::A5;
    preparePrinter(printer, options);
    ASSERT_TRUE(printSheet(printer, QImage(dir + QStringLiteral("sheet.png")), options.dpi));

    const QString printed = dir + QStringLiteral("printed.pdf");
    const QString rendered = dir + QStringLiteral("cli.pdf");
    EXPECT_EQ(pdfPageSize(printed), pdfPageSize(rendered));
    EXPECT_EQ(pdfImage(printed, dir + QStringLiteral("p")),
              pdfImage(rendered, dir + QStringLiteral("r")));
    // The same placement: both pages look the same when drawn.
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"),
                                     QStringLiteral("-png"), printed, dir + QStringLiteral("pp")});
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"),
                                     QStringLiteral("-png"), rendered, dir + QStringLiteral("rp")});
    EXPECT_EQ(QImage(dir + QStringLiteral("pp-1.png")), QImage(dir + QStringLiteral("rp-1.png")));
}
