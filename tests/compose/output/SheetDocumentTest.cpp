// Documents of several pages: one PDF of every page, one file per page for the pictures.
#include "compose/output/SheetDocument.h"

#include "common/BatchJournal.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetRender.h"
#include "support/PrintTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

namespace vexilo {
namespace {

using test::TempAppFolder;

// The marked 1 January and 8 March put red digits on the first page and the third.
Sheet planView(const QString &folder, qint32 month, const CalendarView &view)
{
    const GlyphLoad set = loadGlyphSet(folder, 0);
    EXPECT_TRUE(set.complete) << set.failedFile.toStdString();
    clsPrazdniki holidays;
    EXPECT_TRUE(holidays.AddPrazdnik(1, 1));
    EXPECT_TRUE(holidays.AddPrazdnik(8, 3));
    SheetRequest request{set.set, holidays, 2027, month, 2, {}};
    request.view = view;
    return std::get<Sheet>(Sheet::plan(std::move(request)));
}

CalendarView pages(Period period, qint32 perPage, qint32 perRow = 0)
{
    CalendarView view;
    view.period = period;
    view.perPage = perPage;
    view.monthsPerRow = perRow;
    return view;
}

SafeWriteResult writeAll(const Sheet &sheet, const QString &chosen, const OutputOptions &options,
                         QStringList *written = nullptr)
{
    const std::vector<Sheet> all = pagesOf(sheet);
    const QStringList names =
        documentFileNames(chosen, QStringLiteral("/"), sheetPages(all), options);
    if (written != nullptr)
        *written = names;
    return writeDocument(sheetPages(all), names, options);
}

OutputOptions pdfAt(int dpi)
{
    OutputOptions options;
    options.format = OutputFormat::Pdf;
    options.dpi = dpi;
    return options;
}

TEST(SheetDocument, AWallCalendarsPdfPageIsTheMonthSheetsPdf)
{
    TempAppFolder app;
    const QString set = test::writeGlyphs(app);
    const Sheet wall = planView(set, 0, pages({2027, 1, 12}, 1));
    ASSERT_EQ(wall.pageCount(), 12);
    ASSERT_TRUE(writeAll(wall, app.file("wall.pdf"), pdfAt(40)).ok);
    ASSERT_EQ(test::pdfPageSizes(app.file("wall.pdf")).size(), 12U);
    test::run("pdftoppm", {"-r", "24", "-png", app.file("wall.pdf"), app.file("w")});
    for (int k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        const Sheet month = planView(set, k, {});
        const QString name = app.file(QStringLiteral("m%1.pdf").arg(k));
        ASSERT_TRUE(writeAll(month, name, pdfAt(40)).ok);
        test::run("pdftoppm", {"-r", "24", "-png", "-singlefile", name, app.file("m")});
        const QImage page(app.file(QStringLiteral("w-%1.png").arg(k, 2, 10, QLatin1Char('0'))));
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page, QImage(app.file("m.png")));
    }
}

TEST(SheetDocument, EachPdfPageIsTurnedForItsOwnSheet)
{
    TempAppFolder app;
    // Three months in a column, then one month alone: tall, then wide.
    const Sheet sheet = planView(test::writeGlyphs(app), 0, pages({2027, 1, 4}, 3, 1));
    ASSERT_EQ(sheet.pageCount(), 2);
    ASSERT_TRUE(writeAll(sheet, app.file("two.pdf"), pdfAt(96)).ok);
    const std::vector<QSizeF> sizes = test::pdfPageSizes(app.file("two.pdf"));
    ASSERT_EQ(sizes.size(), 2U);
    EXPECT_LT(sizes[0].width(), sizes[0].height());
    EXPECT_GT(sizes[1].width(), sizes[1].height());
}

// The distinct glyph surfaces a cairo PDF writes, as form objects.
int formObjects(const QString &pdf)
{
    QFile file(pdf);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return int(file.readAll().count("/Subtype /Form"));
}

TEST(SheetDocument, AnSvgSetsWallCalendarIsOneSmallVectorPdfWithEachDrawingOnce)
{
    TempAppFolder app;
    const QString set = test::writeSvgGlyphs(app);
    const Sheet wall = planView(set, 0, pages({2027, 1, 12}, 1));
    QSet<QString> glyphs;
    for (const Sheet &page : pagesOf(wall))
        for (const GlyphPlace &place : page.glyphPlaces(0))
            glyphs.insert(QStringLiteral("%1 %2 %3")
                              .arg(int(place.role))
                              .arg(place.index)
                              .arg(int(place.variant)));
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        OutputOptions options = pdfAt(96);
        options.transparent = transparent;
        const QString pdf = app.file("wall.pdf");
        ASSERT_TRUE(writeAll(wall, pdf, options).ok);
        EXPECT_EQ(test::pdfPageSizes(pdf).size(), 12U);
        EXPECT_EQ(test::run("pdfimages", {"-list", pdf}).trimmed().split(u'\n').size(), 2);
        EXPECT_LT(QFileInfo(pdf).size(), 1 << 20);
        ASSERT_TRUE(writeAll(planView(set, 1, {}), app.file("january.pdf"), options).ok);
        const int forms = formObjects(pdf);
        std::cout << "forms " << forms << " glyphs " << glyphs.size() << " january "
                  << formObjects(app.file("january.pdf")) << std::endl;
        EXPECT_LE(forms, 2 * glyphs.size());
    }
}

TEST(SheetDocument, PicturesAreOneFileOrOneFilePerRowForEachPage)
{
    TempAppFolder app;
    const QString set = test::writeGlyphs(app);
    // Two pages of two rows of three months; and the one page of a year.
    const Sheet twoPages = planView(set, 0, pages({2027, 1, 12}, 6, 3));
    ASSERT_EQ(twoPages.pageCount(), 2);
    const Sheet year = planView(set, 0, {});
    struct Case
    {
        const Sheet *sheet;
        OutputFormat format;
        bool whole;
        QString chosen;
        QStringList names;
    };
    const std::vector<Case> cases = {
        {&twoPages,
         OutputFormat::Bmp,
         false,
         "a.b.bmp",
         {"a.b_стр1_ряд1.bmp", "a.b_стр1_ряд2.bmp", "a.b_стр2_ряд1.bmp", "a.b_стр2_ряд2.bmp"}},
        {&twoPages, OutputFormat::Png, true, "год.png", {"год_стр1.png", "год_стр2.png"}},
        {&twoPages, OutputFormat::Svg, false, "год", {"год_стр1.svg", "год_стр2.svg"}},
        {&twoPages, OutputFormat::Pdf, false, "год", {"год.pdf"}},
        {&year, OutputFormat::Png, false, "год", {"год_ряд1.png", "год_ряд2.png", "год_ряд3.png"}},
        {&year, OutputFormat::Bmp, true, "год", {"год.bmp"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.names.join(u' ').toStdString());
        const QString folder = app.file(QString::number(&c - cases.data())) + u'/';
        ASSERT_TRUE(QDir().mkpath(folder));
        OutputOptions options;
        options.format = c.format;
        options.whole = c.whole;
        QStringList written;
        ASSERT_TRUE(writeAll(*c.sheet, folder + c.chosen, options, &written).ok);
        QStringList expected;
        for (const QString &name : c.names)
            expected.append(folder + name);
        EXPECT_EQ(written, expected);
        EXPECT_TRUE(batchjournal::isOneSavesTargets(c.names));
        QStringList sorted = c.names;
        sorted.sort();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), sorted);
    }
    // Each page's whole picture is that page's sheet, pixel for pixel.
    OutputOptions whole;
    whole.format = OutputFormat::Png;
    whole.whole = true;
    ASSERT_TRUE(writeAll(twoPages, app.file("p.png"), whole).ok);
    for (qint32 p = 0; p < 2; ++p)
        EXPECT_EQ(QImage(app.file(QStringLiteral("p_стр%1.png").arg(p + 1)))
                      .convertToFormat(QImage::Format_RGB32),
                  wholeSheet(twoPages.onPage(p)));
}

} // namespace
} // namespace vexilo
