// The renderer's sheets on their way to paper: the whole sheet in one image, PNG and BMP
// resolution, PDF pages.
#include "cli/RenderCommand.h"
#include "compose/output/SheetOutput.h"

#include "compose/glyphs/GlyphSet.h"
#include "support/PrintTools.h"

#include <QDir>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

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
    const std::vector<QImage> rows = rowImages(dir + QStringLiteral("rows"), 3);
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
        {{QStringLiteral("--portrait")}, {595, 842}},
        {{QStringLiteral("--paper"), QStringLiteral("A3"), QStringLiteral("--landscape")},
         {1191, 842}},
        // Without an orientation the page turns to the sheet, which is wider than tall.
        {{QStringLiteral("--paper"), QStringLiteral("Letter")}, {792, 612}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QString name = dir + QStringLiteral("page%1").arg(i);
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), name, QStringLiteral("--format"),
                                          QStringLiteral("pdf")} +
                                  cases[i].args),
                  RenderOk);
        EXPECT_EQ(pdfPageSize(name + QStringLiteral(".pdf")).toSize(), cases[i].points.toSize());
        // Each row of months is its own image, its exact pixels: white lies between them.
        EXPECT_EQ(pdfImages(name + QStringLiteral(".pdf"), name), rows) << i;
    }
}

// Six rows of months 7000 rows apart: taller than one image may be, yet one PNG and one page.
TEST(PrintOutput, ASheetTallerThanOneImageGoesOutWholeAsPngAndPdf)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    const QStringList tall = {QStringLiteral("-r"), QStringLiteral("2"),
                              QStringLiteral("--months-y"), QStringLiteral("7000")};
    ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), dir + QStringLiteral("rows")} + tall),
              RenderOk);
    ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), dir + QStringLiteral("whole"),
                                      QStringLiteral("--whole"), QStringLiteral("--format"),
                                      QStringLiteral("png")} +
                              tall),
              RenderOk);
    ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), dir + QStringLiteral("page"),
                                      QStringLiteral("--format"), QStringLiteral("pdf")} +
                              tall),
              RenderOk);

    const std::vector<QImage> rows = rowImages(dir + QStringLiteral("rows"), 6);
    const QSize canvas = rows[0].size();
    const int pitch = canvas.height() + 7000;
    const QImage whole =
        QImage(dir + QStringLiteral("whole.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(whole.size(), QSize(canvas.width(), 5 * pitch + canvas.height()));
    EXPECT_GT(whole.height(), 32767);
    EXPECT_EQ(whole.copy(QRect(QPoint(0, 0), canvas)), rows.front());
    EXPECT_EQ(whole.copy(QRect(QPoint(0, 5 * pitch), canvas)), rows.back());
    EXPECT_EQ(whole.pixel(0, canvas.height() + 3500), qRgb(255, 255, 255));

    EXPECT_EQ(pdfPageSize(dir + QStringLiteral("page.pdf")).toSize(), QSize(595, 842));
    EXPECT_EQ(pdfImages(dir + QStringLiteral("page.pdf"), dir + QStringLiteral("page")), rows);
}
