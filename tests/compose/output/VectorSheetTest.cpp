#include "cli/RenderCommand.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetRender.h"
#include "support/PrintTools.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <gtest/gtest.h>

#include <iostream>

namespace vexilo {
namespace {

using test::TempAppFolder;

// The raster twin of writeSvgGlyphs' set: the same shapes and colours as PNG pixels with
// transparency (the reader goes by content, not by name).
QString writeRasterTwin(const TempAppFolder &app)
{
    const QString folder = app.path() + QStringLiteral("twin/");
    QDir().mkpath(folder);
    for (int d = 0; d < 10; ++d) {
        QImage digit(6, 9, QImage::Format_ARGB32);
        digit.fill(Qt::transparent);
        const QRgb colour = QColor::fromHsv(d * 36, 200, 180).rgb();
        for (int y = 1; y < 1 + 2 + d % 6; ++y)
            for (int x = 1; x < 5; ++x)
                digit.setPixel(x, y, colour);
        for (int x = 0; x < 6; ++x)
            digit.setPixel(x, 8, colour);
        digit.save(folder + digitFileName(d), "PNG");
    }
    for (std::size_t w = 0; w < 7; ++w) {
        QImage weekday(12, 9, QImage::Format_ARGB32);
        weekday.fill(Qt::transparent);
        for (int y = 1; y < 8; ++y)
            for (int x = 1; x < 11; ++x)
                weekday.setPixel(x, y, qRgb(0x20, 0x60, 0x20));
        if (w >= 5)
            for (int y = 3; y < 6; ++y)
                for (int x = 3; x < 5; ++x)
                    weekday.setPixel(x, y, qRgb(255, 255, 255));
        weekday.save(folder + weekdayFileNames()[w], "PNG");
    }
    return folder;
}

Sheet planYear(const QString &folder)
{
    const GlyphLoad set = loadGlyphSet(folder, 0);
    EXPECT_TRUE(set.complete) << set.failedFile.toStdString();
    clsPrazdniki holidays;
    EXPECT_TRUE(holidays.AddPrazdnik(1, 1)); // a red digit on the first canvas
    auto planned = Sheet::plan({set.set, holidays, 2027, 0, 2, {}});
    return std::get<Sheet>(std::move(planned));
}

QImage drawn(const Sheet &sheet, qint32 k, bool transparent)
{
    QImage canvas(sheet.canvasSize(),
                  transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    canvas.fill(transparent ? Qt::transparent : Qt::white);
    sheet.draw(canvas, k);
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

// Only where a glyph has ink is anything drawn, and there it is the ink, white ink included.
void expectOnlyInk(const QImage &transparent, const QImage &onWhite)
{
    ASSERT_EQ(transparent.size(), onWhite.size());
    const QImage clear = transparent.convertToFormat(QImage::Format_ARGB32);
    const QImage opaque = onWhite.convertToFormat(QImage::Format_ARGB32);
    int cleared = 0;
    int whiteInk = 0;
    for (int y = 0; y < clear.height(); ++y) {
        for (int x = 0; x < clear.width(); ++x) {
            const QRgb pixel = clear.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                ++cleared;
                ASSERT_EQ(opaque.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
            } else {
                ASSERT_EQ(pixel, opaque.pixel(x, y)) << x << "," << y;
                whiteInk += pixel == qRgb(255, 255, 255) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(cleared, clear.width() * clear.height() / 2);
    EXPECT_GT(whiteInk, 0); // the weekend names' white stays, not keyed out
}

TEST(VectorSheet, SvgSetDrawsAsItsRasterTwinOnWhiteAndOnTransparent)
{
    TempAppFolder app;
    const Sheet vector = planYear(test::writeSvgGlyphs(app));
    const Sheet raster = planYear(writeRasterTwin(app));
    ASSERT_EQ(vector.canvasSize(), raster.canvasSize());
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "white");
        const QImage fromSvg = drawn(vector, 0, transparent);
        // Flat colours on whole pixels: the drawings give exactly the pixels, the holiday
        // digits exactly the tint of their colour.
        EXPECT_EQ(fromSvg, drawn(raster, 0, transparent));
        if (transparent)
            expectOnlyInk(fromSvg, drawn(vector, 0, false));
    }
}

TEST(VectorSheet, SvgSetGoesOutAsVectorPdfAndSvgThatRenderLikeItsPng)
{
    TempAppFolder app;
    test::writeSvgGlyphs(app);
    const QString svgSet = QStringLiteral("svgset");
    ASSERT_EQ(test::renderWith(app, svgSet, {"--whole", "--format", "png", "-o", app.file("png")}),
              0);
    ASSERT_EQ(
        test::renderWith(app, svgSet, {"--format", "pdf", "--paper", "A3", "-o", app.file("doc")}),
        0);
    ASSERT_EQ(test::renderWith(app, svgSet, {"--format", "svg", "-o", app.file("pic")}), 0);
    ASSERT_EQ(
        test::renderWith(app, svgSet,
                         {"--whole", "--format", "png", "--dpi", "300", "-o", app.file("hi")}),
        0);
    const QImage png(app.file("png.png"));
    ASSERT_FALSE(png.isNull());

    // The PDF holds no raster image, only the drawings, and stays small.
    const QString pdf = app.file("doc.pdf");
    EXPECT_EQ(test::run("pdfimages", {"-list", pdf}).trimmed().split(u'\n').size(), 2);
    EXPECT_LT(QFileInfo(pdf).size(), 1 << 20);

    // At 96 dpi the page shows the PNG's pixels: the sheet starts on a whole pixel of the page.
    test::run("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, app.file("page")});
    const QImage page = QImage(app.file("page.png")).convertToFormat(QImage::Format_RGB32);
    test::ImageDifference best;
    const QPoint centre((page.width() - png.width()) / 2, (page.height() - png.height()) / 2);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const auto difference =
                test::compareImages(png, page.copy(QRect(centre + QPoint(dx, dy), png.size())));
            if (best.anywhere < 0 || difference.anywhere < best.anywhere)
                best = difference;
        }
    }
    std::cout << "PDF at 96 dpi against PNG: largest difference " << best.anywhere
              << ", away from edges " << best.awayFromEdges << '\n';
    EXPECT_LE(best.awayFromEdges, 2);

    // A second renderer draws the SVG file as the program draws the PNG.
    test::run("rsvg-convert", {"-o", app.file("rsvg.png"), app.file("pic.svg")});
    const auto second = test::compareImages(png, QImage(app.file("rsvg.png")));
    std::cout << "SVG in rsvg-convert against PNG: largest difference " << second.anywhere << '\n';
    EXPECT_LE(second.awayFromEdges, 2);
    EXPECT_GE(second.awayFromEdges, 0);

    // More dots per inch give more pixels of the same physical size.
    const QImage high(app.file("hi.png"));
    EXPECT_NEAR(high.width(), png.width() * 300 / 96, 8);
    EXPECT_NEAR(high.height(), png.height() * 300 / 96, 8);
    EXPECT_EQ(high.dotsPerMeterX(), qRound(300 / 0.0254));

    // A transparent PNG keeps only the ink, from drawings and from pixels alike.
    writeRasterTwin(app);
    for (const QString &set : {svgSet, QStringLiteral("twin")}) {
        SCOPED_TRACE(set.toStdString());
        ASSERT_EQ(
            test::renderWith(app, set, {"--whole", "--format", "png", "-o", app.file("white")}), 0);
        ASSERT_EQ(
            test::renderWith(
                app, set, {"--whole", "--format", "png", "--transparent", "-o", app.file("clear")}),
            0);
        expectOnlyInk(QImage(app.file("clear.png")), QImage(app.file("white.png")));
    }
}

// The smallest rectangle holding every pixel that is not white.
QRect inkBox(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (qGray(rgb.pixel(x, y)) < 250)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(VectorSheet, AtAnyResolutionTheSheetIsItsLayoutScaledAndLinesUpWithThePdf)
{
    TempAppFolder app;
    test::writeSvgGlyphs(app);
    const QString svgSet = QStringLiteral("svgset");
    const double scale = 300.0 / 96;
    struct Case
    {
        QStringList sheet;
        double slack; // each canvas is rounded once; the rows of a year add their pitches
    };
    const std::vector<Case> cases = {{{"-m", "1", "--months-x", "17", "--dates-y", "3"}, 1},
                                     {{"--per-row", "4", "--dates-x", "7"}, 1.5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sheet.join(u' ').toStdString());
        for (const QString &dpi : {QStringLiteral("96"), QStringLiteral("300")})
            ASSERT_EQ(test::renderWith(app, svgSet,
                                       c.sheet + QStringList{"--whole", "--format", "png", "--dpi",
                                                             dpi, "-o", app.file("at" + dpi)}),
                      0);
        ASSERT_EQ(test::renderWith(app, svgSet,
                                   c.sheet + QStringList{"--format", "pdf", "--paper", "A3", "-o",
                                                         app.file("doc")}),
                  0);
        const QImage low(app.file("at96.png"));
        const QImage high(app.file("at300.png"));
        ASSERT_FALSE(low.isNull() || high.isNull());
        EXPECT_NEAR(high.width(), low.width() * scale, 1);
        EXPECT_NEAR(high.height(), low.height() * scale, c.slack);

        // The PDF's page at 300 dpi holds the same ink as the PNG: a box of the same size.
        test::run("pdftoppm",
                  {"-r", "300", "-png", "-singlefile", app.file("doc.pdf"), app.file("page")});
        const QRect onPage = inkBox(QImage(app.file("page.png")));
        const QRect inPng = inkBox(high);
        std::cout << "96 dpi " << low.width() << "x" << low.height() << ", 300 dpi " << high.width()
                  << "x" << high.height() << "; ink at 300 dpi: PNG " << inPng.width() << "x"
                  << inPng.height() << ", PDF " << onPage.width() << "x" << onPage.height() << '\n';
        EXPECT_NEAR(onPage.width(), inPng.width(), 2);
        EXPECT_NEAR(onPage.height(), inPng.height(), 2);
    }
}

TEST(VectorSheet, AResolutionTooHighForTheSheetIsRefusedBeforeTheGlyphsAreRendered)
{
    TempAppFolder app;
    test::writeSvgGlyphs(app);
    const QStringList wide = {"-m", "1", "--months-x", "2000", "--format", "png"};
    ASSERT_EQ(test::renderWith(app, "svgset", wide + QStringList{"-o", app.file("a")}), 0);
    const QSize css = QImage(app.file("a.png")).size();

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const QStringList args = QStringList{"vexilo-render", "-g", app.path() + "svgset"} + wide +
                             QStringList{"--dpi", "2400", "-o", app.file("b")};
    EXPECT_EQ(runRender(args, outStream, errStream, app.path()), RenderFailed);
    errStream.flush();
    EXPECT_TRUE(
        err.endsWith(QStringLiteral("При 2400 точках на дюйм лист получается слишком большим "
                                    "(%1 × %2 точек). Уменьшите разрешение.\n")
                         .arg(css.width() * 25)
                         .arg(css.height() * 25)))
        << err.toStdString();
    EXPECT_FALSE(QFile::exists(app.file("b.png")));
}

TEST(VectorSheet, FoldersLoadAsTheKindTheyHoldWholly)
{
    struct Case
    {
        const char *name;
        QStringList drop;   // files removed from the SVG set
        QByteArray zeroSvg; // replaces "0.svg" when not empty
        bool withGif;       // a whole GIF set beside it
        bool complete;
        GlyphKind kind;
        const char *failedFile;
        QSize digitSize;
    };
    const auto svg = [](const char *attributes) {
        return QByteArray("<svg xmlns='http://www.w3.org/2000/svg' ") + attributes +
               "><rect width='1' height='1'/></svg>";
    };
    const std::vector<Case> cases = {
        {"svg only", {}, {}, false, true, GlyphKind::Vector, "", {6, 9}},
        {"both kinds", {}, {}, true, true, GlyphKind::Raster, "", {6, 9}},
        {"a missing drawing", {"5.svg"}, {}, false, false, GlyphKind::Vector, "5.svg", {}},
        {"not svg", {}, "GIF89a", false, false, GlyphKind::Vector, "0.svg", {}},
        {"millimetres",
         {},
         svg("width='2.54mm' height='25.4mm'"),
         false,
         true,
         GlyphKind::Vector,
         "",
         {10, 96}},
        {"inches and a view box",
         {},
         svg("width='0.25in' height='0.5in' viewBox='0 0 5 5'"),
         false,
         true,
         GlyphKind::Vector,
         "",
         {24, 48}},
        {"a lone view box",
         {},
         svg("viewBox='0 0 7.4 3.6'"),
         false,
         true,
         GlyphKind::Vector,
         "",
         {7, 4}},
        {"percent and no view box",
         {},
         svg("width='50%' height='50%'"),
         false,
         false,
         GlyphKind::Vector,
         "0.svg",
         {}},
        {"no size", {}, svg(""), false, false, GlyphKind::Vector, "0.svg", {}},
        {"too large",
         {},
         svg("width='5000' height='10'"),
         false,
         false,
         GlyphKind::Vector,
         "0.svg",
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder app;
        const QString folder = test::writeSvgGlyphs(app);
        for (const QString &name : c.drop)
            QFile::remove(folder + name);
        if (!c.zeroSvg.isEmpty())
            app.write(QStringLiteral("svgset/0.svg"), c.zeroSvg);
        if (c.withGif) {
            for (const QString &name : QDir(writeRasterTwin(app)).entryList(QDir::Files))
                QFile::copy(app.file(QStringLiteral("twin/")) + name, folder + name);
        }
        const GlyphLoad images = readGlyphImages(folder, false);
        EXPECT_EQ(images.complete, c.complete);
        EXPECT_EQ(images.kind, c.kind);
        EXPECT_EQ(images.failedFile, QString::fromUtf8(c.failedFile));
        if (c.complete) {
            EXPECT_EQ(images.digits.front().size(), c.digitSize);
        }
    }
}

TEST(VectorSheet, FilterEffectsGoIntoPdfAtPrintResolutionAndTheOtherGlyphsStayDrawings)
{
    TempAppFolder app;
    test::writeSvgGlyphs(app);
    // The digit 3 carries an inner shadow; January 2027 draws it five times, plain and red.
    QFile::remove(app.file("svgset/3.svg"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEXILO_TEST_DATA "/svg/inner-shadow.svg"),
                            app.file("svgset/3.svg")));
    for (const char *dpi : {"96", "600"}) {
        SCOPED_TRACE(dpi);
        ASSERT_EQ(
            test::renderWith(app, QStringLiteral("svgset"),
                             {"-m", "1", "--format", "pdf", "--dpi", dpi, "-o", app.file("month")}),
            0);
        const QStringList lines =
            test::run("pdfimages", {"-list", app.file("month.pdf")}).trimmed().split(u'\n');
        ASSERT_GT(lines.size(), 2);
        QSet<QString> objects;
        for (const QString &line : lines.mid(2)) {
            const QStringList columns = line.simplified().split(u' ');
            ASSERT_GE(columns.size(), 14);
            objects.insert(columns[10]);
            const int wanted = std::max(300, QString::fromLatin1(dpi).toInt());
            EXPECT_GE(columns[12].toInt(), wanted) << line.toStdString();
            EXPECT_GE(columns[13].toInt(), wanted) << line.toStdString();
        }
        // Only the shadow is a picture, once per variant; every other glyph is a drawing.
        EXPECT_LE(objects.size(), 2);
    }
}

} // namespace
} // namespace vexilo
