// The renderer's PDF pages as a printer sees them: the whole sheet inside the margins, the
// page turned to the sheet, and page options that cannot be met refused with one line.
#include "cli/RenderCommand.h"

#include "support/PrintTools.h"

#include <QImage>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cmath>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// The smallest rectangle holding every pixel that is not white.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qRed(row[x]) < 240 || qGreen(row[x]) < 240 || qBlue(row[x]) < 240)
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

// The first page drawn at 72 dpi, so one pixel is one point.
QImage drawnPage(const QString &pdf, const QString &prefix)
{
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(PageMargin, PdfPagesHoldTheWholeSheetInsideTheirMarginsOnAPageTurnedToIt)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    struct Case
    {
        QStringList args;
        int dpi;
        QSize page; // points
        double marginMm;
        bool shrunk;
    };
    // A year of four months in a row is wider than tall, of two months taller than wide; at
    // 20 dpi either is larger than A4.
    const QStringList tall = {QStringLiteral("-r"), QStringLiteral("2")};
    const std::vector<Case> cases = {
        {{}, 20, {842, 595}, 10, true},
        {{QStringLiteral("--margin"), QStringLiteral("25")}, 20, {842, 595}, 25, true},
        {{QStringLiteral("--portrait")}, 20, {595, 842}, 10, true},
        {{QStringLiteral("--landscape")}, 20, {842, 595}, 10, true},
        {tall, 20, {595, 842}, 10, true},
        {tall + QStringList{QStringLiteral("--landscape"), QStringLiteral("--margin"),
                            QStringLiteral("0")},
         20,
         {842, 595},
         0,
         true},
        // At 300 dpi the sheet is a few centimetres: never enlarged.
        {{}, 300, {842, 595}, 10, false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.args.join(u' ').toStdString() + " at " + std::to_string(c.dpi) + " dpi");
        const QString name = dir + QStringLiteral("page%1").arg(i);
        const QStringList args =
            c.args + QStringList{QStringLiteral("--dpi"), QString::number(c.dpi)};
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), name, QStringLiteral("--format"),
                                          QStringLiteral("pdf")} +
                                  args),
                  RenderOk);
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), name, QStringLiteral("--format"),
                                          QStringLiteral("png"), QStringLiteral("--whole")} +
                                  args),
                  RenderOk);
        const QImage sheet =
            QImage(name + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        // The sheet has ink at all four edges: its outer weekday columns, its first and last
        // rows. So on the page the ink box is where the sheet went.
        ASSERT_EQ(inkBox(sheet), sheet.rect());
        // The images in the PDF are still the sheet's own pixels, row of months by row.
        EXPECT_TRUE(areBandsOf(pdfImages(name + QStringLiteral(".pdf"), name), sheet));

        const QImage page = drawnPage(name + QStringLiteral(".pdf"), name + QStringLiteral("p"));
        ASSERT_EQ(page.size(), c.page);
        const QRect ink = inkBox(page);
        const double margin = c.marginMm * 72 / 25.4;
        const double left = ink.left();
        const double top = ink.top();
        const double right = page.width() - ink.right() - 1;
        const double bottom = page.height() - ink.bottom() - 1;
        for (const double gap : {left, top, right, bottom})
            EXPECT_GE(gap, margin - 1)
                << ink.x() << ',' << ink.y() << ' ' << ink.width() << 'x' << ink.height();
        // Centred between the margins, the sheet's shape kept.
        EXPECT_NEAR(left, right, 1.5);
        EXPECT_NEAR(top, bottom, 1.5);
        EXPECT_NEAR(double(ink.width()) / ink.height(), double(sheet.width()) / sheet.height(),
                    0.02);
        const double physicalWidth = sheet.width() * 72.0 / c.dpi;
        if (c.shrunk) {
            // Shrunk until it meets the margins on one side or the other, no further.
            EXPECT_LT(std::min(left, top), margin + 1.5);
            EXPECT_LT(ink.width(), physicalWidth);
        } else {
            EXPECT_NEAR(ink.width(), physicalWidth, 2);
        }
    }
}

TEST(PageMargin, PageOptionsThatCannotBeMetAreRefusedWithOneLineThatSaysWhy)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    const auto args = [](std::initializer_list<const char *> words) {
        QStringList list;
        for (const char *word : words)
            list << QString::fromUtf8(word);
        return list;
    };
    struct Case
    {
        QStringList args;
        int status;
        QString reason; // the middle of the usage line
    };
    const std::vector<Case> cases = {
        {args({"--margin", "101"}), RenderUsage,
         QStringLiteral("значение --margin должно быть от 0 до 100, а не «101»")},
        {args({"--margin", "-1"}), RenderUsage,
         QStringLiteral("значение --margin должно быть от 0 до 100, а не «-1»")},
        {args({"--margin", "12.5"}), RenderUsage,
         QStringLiteral("значение --margin должно быть от 0 до 100, а не «12.5»")},
        {args({"--format", "pdf", "--paper", "A5", "--margin", "75"}), RenderUsage,
         QStringLiteral("поля 75 мм не оставляют места на бумаге A5 (148 × 210 мм)")},
        {args({"--format", "pdf", "--portrait", "--landscape"}), RenderUsage,
         QStringLiteral("--portrait и --landscape не задаются вместе")},
        {args({"--transparent"}), RenderUsage,
         QStringLiteral("--transparent не подходит к формату bmp: у BMP нет прозрачного фона")},
        {args({"--format", "BMP", "--whole", "--transparent"}), RenderUsage,
         QStringLiteral("--transparent не подходит к формату bmp: у BMP нет прозрачного фона")},
        {args({"--format", "png", "--transparent"}), RenderOk, {}},
        {args({"--format", "pdf", "--transparent", "--margin", "0"}), RenderOk, {}},
        {args({"--format", "pdf", "--paper", "A3", "--margin", "100", "--portrait"}), RenderOk, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QStringList all = {QStringLiteral("vexilo-render"), QStringLiteral("-g"),
                           dir + QStringLiteral("set"), QStringLiteral("-o"),
                           dir + QStringLiteral("o%1").arg(i)};
        EXPECT_EQ(runRender(all + c.args, outStream, errStream, dir), c.status)
            << c.args.join(u' ').toStdString();
        errStream.flush();
        if (c.status == RenderUsage) {
            EXPECT_EQ(err, QStringLiteral("vexilo-render: %1. Подробнее: vexilo-render --help\n")
                               .arg(c.reason));
        }
    }
}
