// The window's printer against the renderer: the same PDF page.
#include "shell/PrintSheet.h"

#include "cli/RenderCommand.h"
#include "shell/UserSettings.h"
#include "support/FakePlatform.h"
#include "support/PrintTools.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
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
    preparePrinter(printer, options, wholeSheetSize(sheet));
    ASSERT_TRUE(printSheet(printer, sheet, options));

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

// The preview is given the remembered page and paints through the same placement: what it
// would print is the renderer's PDF page.
TEST(PrintSheet, ThePreviewPlacesTheSheetAsThePdfDoes)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    // The rows at the window's pitch, as the window holds them.
    ASSERT_EQ(render(app, {QStringLiteral("-o"), dir + QStringLiteral("rows")}), RenderOk);
    const std::vector<QImage> rows = rowImages(dir + QStringLiteral("rows"), 3);
    struct Case
    {
        QStringList args;
        QPageSize::PageSizeId paper;
        PageOrientation orientation;
        int marginMm;
        int dpi;
    };
    const std::vector<Case> cases = {
        {{QStringLiteral("--dpi"), QStringLiteral("20")},
         QPageSize::A4,
         PageOrientation::Automatic,
         10,
         20},
        {{QStringLiteral("--dpi"), QStringLiteral("20"), QStringLiteral("--margin"),
          QStringLiteral("25"), QStringLiteral("--portrait")},
         QPageSize::A4,
         PageOrientation::Portrait,
         25,
         20},
        {{QStringLiteral("--paper"), QStringLiteral("A5"), QStringLiteral("--margin"),
          QStringLiteral("0"), QStringLiteral("--landscape")},
         QPageSize::A5,
         PageOrientation::Landscape,
         0,
         96},
    };
    const UserSettings settings(app.file(QStringLiteral("vexilo.ini")));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const QString rendered = dir + QStringLiteral("cli%1.pdf").arg(i);
        ASSERT_EQ(render(app, QStringList{QStringLiteral("-o"), rendered,
                                          QStringLiteral("--format"), QStringLiteral("pdf")} +
                                  c.args),
                  RenderOk);
        OutputOptions options;
        options.paper = c.paper;
        options.orientation = c.orientation;
        options.marginMm = c.marginMm;
        options.dpi = c.dpi;
        settings.saveOutputOptions(options);

        const QString previewed = dir + QStringLiteral("preview%1.pdf").arg(i);
        FakePlatform platform;
        platform.dialogHandlers.push_back([&](QDialog &dialog) {
            auto &preview = dynamic_cast<QPrintPreviewDialog &>(dialog);
            // The preview's own printer chose the page; a PDF printer takes it over.
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(previewed);
            printer.setPageLayout(preview.printer()->pageLayout());
            printer.setFullPage(preview.printer()->fullPage());
            emit preview.paintRequested(&printer);
            dialog.reject();
        });
        printPreview(platform, nullptr, DrawnCanvases(rows, rows[0].height() + 20), settings);
        ASSERT_TRUE(platform.dialogHandlers.empty());

        EXPECT_EQ(pdfPageSize(previewed), pdfPageSize(rendered));
        EXPECT_EQ(pdfImages(previewed, dir + QStringLiteral("p%1").arg(i)), rows);
        const QString drawnPreview = dir + QStringLiteral("pp%1").arg(i);
        const QString drawnPdf = dir + QStringLiteral("rp%1").arg(i);
        for (const auto &[pdf, prefix] :
             {std::pair{previewed, drawnPreview}, std::pair{rendered, drawnPdf}})
            run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, prefix});
        EXPECT_EQ(QImage(drawnPreview + QStringLiteral(".png")),
                  QImage(drawnPdf + QStringLiteral(".png")));
    }
}

// Paper picked in the preview may be smaller than the remembered margins allow: the sheet is
// still printed, not a blank page.
TEST(PrintSheet, PaperTooSmallForTheMarginsStillGetsTheSheet)
{
    TempAppFolder app;
    writeGlyphs(app);
    const QString dir = app.path();
    ASSERT_EQ(
        render(app, {QStringLiteral("-o"), dir + QStringLiteral("sheet"), QStringLiteral("--whole"),
                     QStringLiteral("--format"), QStringLiteral("png")}),
        RenderOk);
    const QImage sheet =
        QImage(dir + QStringLiteral("sheet.png")).convertToFormat(QImage::Format_RGB32);
    OutputOptions options;
    options.marginMm = 60;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir + QStringLiteral("a6.pdf"));
    preparePrinter(printer, options, sheet.size());
    printer.setPageSize(QPageSize(QPageSize::A6)); // 105 mm across
    ASSERT_TRUE(printSheet(printer, DrawnCanvases({sheet}, sheet.height()), options));
    EXPECT_EQ(pdfImages(dir + QStringLiteral("a6.pdf"), dir + QStringLiteral("a6")),
              std::vector<QImage>{sheet});
}

// The preview's page setup would set margins the sheet never takes: it is not offered, while
// the preview's print and orientation buttons stay.
TEST(PrintSheet, ThePreviewOffersNoPageSetupOfItsOwn)
{
    TempAppFolder app;
    QImage row(40, 20, QImage::Format_RGB32);
    row.fill(Qt::white);
    FakePlatform platform;
    int pageSetups = -1;
    platform.dialogHandlers.push_back([&](QDialog &dialog) {
        const QString pageSetup = QCoreApplication::translate("QPrintPreviewDialog", "Page setup");
        const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        pageSetups = 0;
        for (const QAction *action : dialog.findChildren<QAction *>()) {
            if (action->text() == pageSetup) {
                ++pageSetups;
                EXPECT_FALSE(action->isVisible());
            }
            if (action->text() == print) {
                EXPECT_TRUE(action->isVisible());
            }
        }
        dialog.reject();
    });
    printPreview(platform, nullptr, DrawnCanvases({row}, 20),
                 UserSettings(app.file(QStringLiteral("vexilo.ini"))));
    EXPECT_EQ(pageSetups, 1) << "the preview's own action is found by its text";
}
