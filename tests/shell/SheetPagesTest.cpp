// Every page of a document in the window's view, in print and in the preview.
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetRender.h"
#include "platform/PictureBox.h"
#include "shell/PrintSheet.h"
#include "shell/SaveSheetM.h"
#include "shell/SheetView.h"
#include "shell/UserSettings.h"
#include "support/FakePlatform.h"
#include "support/PrintTools.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// The months from January 2027 in one column, `perPage` a page.
Sheet inAColumn(const TempAppFolder &app, qint32 months, qint32 perPage)
{
    const GlyphLoad set = loadGlyphSet(writeGlyphs(app), 0);
    SheetRequest request{set.set, clsPrazdniki{}, 2027, 0, 2, {}};
    request.spacings.monthsY = 30.5; // rounds to 30 between the pages
    request.view.period = Period{2027, 1, months};
    request.view.perPage = perPage;
    request.view.monthsPerRow = 1;
    return std::get<Sheet>(Sheet::plan(std::move(request)));
}

// Five months at two a page: pages of two and of one month.
Sheet threePages(const TempAppFolder &app)
{
    return inAColumn(app, 5, 2);
}

} // namespace

TEST(SheetPages, TheViewShowsThePagesOneBelowTheOtherAMonthsGapApart)
{
    TempAppFolder app;
    const Sheet sheet = threePages(app);
    ASSERT_EQ(sheet.pageCount(), 3);
    const qint32 kol = 0;
    SheetView view(kol, nullptr);
    view.resize(300, 200);
    view.createCanvases();
    view.layoutInside();
    view.placePages(sheet, true);
    view.drawPages(sheet);
    view.Prokrutka();

    const std::vector<DrawnCanvases> pages = view.drawnPages();
    ASSERT_EQ(pages.size(), 3U);
    qint32 k = 0;
    qint64 top = 0;
    for (qint32 p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        const Sheet page = sheet.onPage(p);
        ASSERT_EQ(pages[std::size_t(p)].canvasCount(), page.canvasCount());
        for (qint32 c = 0; c < page.canvasCount(); ++c, ++k) {
            EXPECT_EQ(view.canvas(k)->pos(), QPoint(0, int(top + qint64(c) * page.canvasPitch())));
            EXPECT_EQ(view.canvas(k)->image(), page.canvas(c));
        }
        top += wholeSheetSize(page).height() + 30;
    }
    // Saved from the window: every page's rows, as shown.
    FakePlatform platform;
    saveShownSheet(platform, sheetPages(pages), &sheet, {app.file("лист.bmp"), {}},
                   QStringLiteral("/"));
    EXPECT_TRUE(platform.messages.empty());
    const QStringList saved = {"лист_стр1_ряд1.bmp", "лист_стр1_ряд2.bmp", "лист_стр2_ряд1.bmp",
                               "лист_стр2_ряд2.bmp", "лист_стр3.bmp"};
    for (qint32 n = 0; n < qint32(saved.size()); ++n)
        EXPECT_EQ(QImage(app.file(saved[n])).convertToFormat(QImage::Format_RGB32),
                  view.canvas(n)->image())
            << saved[n].toStdString();
    // The bar reaches the bottom of the last page, and scrolling moves every page.
    auto *bar = view.findChild<QScrollBar *>(QStringLiteral("VScroll1"));
    bar->setValue(bar->maximum());
    const PictureBox *last = view.canvas(k - 1);
    EXPECT_EQ(last->y() + last->height(), bar->height());

    // One page of more rows than the window's six canvases shows every row.
    const Sheet eight = inAColumn(app, 8, 8);
    view.placePages(eight, true);
    view.drawPages(eight);
    ASSERT_EQ(view.images().size(), 8U);
    for (qint32 c = 0; c < 8; ++c)
        EXPECT_EQ(view.canvas(c)->image(), eight.canvas(c)) << c;
    // Back to fewer rows: the canvases made for the long page are hidden and let go.
    view.placePages(sheet, true);
    EXPECT_FALSE(view.canvas(7)->isVisible());
    EXPECT_TRUE(view.canvas(7)->image().isNull());
}

TEST(SheetPages, PrintingAndThePreviewGiveEveryPage)
{
    TempAppFolder app;
    const Sheet sheet = threePages(app);
    const std::vector<Sheet> pages = pagesOf(sheet);
    OutputOptions options;
    options.dpi = 60;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(app.file("printed.pdf"));
    preparePrinter(printer, options, wholeSheetSize(pages.front()));
    ASSERT_TRUE(printSheet(printer, sheetPages(pages), options));
    EXPECT_EQ(pdfPageSizes(app.file("printed.pdf")).size(), 3U);
    // Each page's canvases, in order.
    std::vector<QImage> canvases;
    for (const Sheet &page : pages)
        for (qint32 c = 0; c < page.canvasCount(); ++c)
            canvases.push_back(page.canvas(c));
    EXPECT_EQ(pdfImages(app.file("printed.pdf"), app.file("p")), canvases);

    FakePlatform platform;
    int previewed = 0;
    platform.dialogHandlers.push_back([&](QDialog &dialog) {
        auto *preview = dialog.findChild<QPrintPreviewWidget *>();
        ASSERT_NE(preview, nullptr);
        preview->updatePreview();
        previewed = preview->pageCount();
        dialog.reject();
    });
    printPreview(platform, nullptr, sheetPages(pages),
                 UserSettings(app.file(QStringLiteral("vexilo.ini"))));
    EXPECT_EQ(previewed, 3);
}
