// The window's printer against the renderer: the same PDF page.
#include "shell/PrintSheet.h"

#include "cli/RenderCommand.h"
#include "support/PrintTools.h"

#include <QPrinter>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

TEST(PrintSheet, ThePrintersPdfFileIsTheRenderersPage)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    ASSERT_EQ(
        render(app, {QStringLiteral("-o"), dir + QStringLiteral("cli"), QStringLiteral("--format"),
                     QStringLiteral("pdf"), QStringLiteral("--dpi"), QStringLiteral("150"),
                     QStringLiteral("--paper"), QStringLiteral("A5")}),
        RenderOk);
    ASSERT_EQ(render(app, {QStringLiteral("-o"), dir + QStringLiteral("rows")}), RenderOk);
    // The rows at the window's pitch, as the window holds them.
    const std::vector<QImage> rows = rowImages(dir + QStringLiteral("rows"), 3);
    const DrawnCanvases sheet(rows, rows[0].height() + 20);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir + QStringLiteral("printed.pdf"));
    OutputOptions options;
    options.dpi = 150;
    options.paper = QPageSize::A5;
    preparePrinter(printer, options);
    ASSERT_TRUE(printSheet(printer, sheet, options.dpi));

    const QString printed = dir + QStringLiteral("printed.pdf");
    const QString rendered = dir + QStringLiteral("cli.pdf");
    EXPECT_EQ(pdfPageSize(printed), pdfPageSize(rendered));
    EXPECT_EQ(pdfImages(printed, dir + QStringLiteral("p")), rows);
    EXPECT_EQ(pdfImages(rendered, dir + QStringLiteral("r")), rows);
    // The same placement: both pages look the same when drawn.
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"),
                                     QStringLiteral("-png"), printed, dir + QStringLiteral("pp")});
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"),
                                     QStringLiteral("-png"), rendered, dir + QStringLiteral("rp")});
    EXPECT_EQ(QImage(dir + QStringLiteral("pp-1.png")), QImage(dir + QStringLiteral("rp-1.png")));
}
