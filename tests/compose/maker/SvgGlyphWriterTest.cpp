// glib names a member "signals", which Qt defines as a keyword, so librsvg comes first.
#include <cairo.h>
#include <librsvg/rsvg.h>

#include "compose/glyphs/GlyphSet.h"
#include "compose/maker/GlyphMaker.h"
#include "compose/maker/SvgGlyphWriter.h"

#include "support/TempAppFolder.h"

#include <QDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// An SVG document drawn by librsvg onto white in a picture of `size`, as Format_RGB32; a null
// image when librsvg cannot read it.
QImage renderSvg(const QByteArray &svg, QSize size)
{
    GError *error = nullptr;
    RsvgHandle *handle = rsvg_handle_new_from_data(
        reinterpret_cast<const guint8 *>(svg.constData()), static_cast<gsize>(svg.size()), &error);
    if (!handle) {
        g_clear_error(&error);
        return {};
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    cairo_surface_t *surface =
        cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_RGB24, image.width(),
                                            image.height(), static_cast<int>(image.bytesPerLine()));
    cairo_t *cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, static_cast<double>(size.width()),
                                 static_cast<double>(size.height())};
    const bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    g_object_unref(handle);
    g_clear_error(&error);
    return drawn ? image : QImage();
}

// How far a picture of a glyph on white is from another: the ink (the darkness summed over
// all pixels), where its centre of mass lies, and the largest channel difference of a pixel to
// the nearest match among the other picture's pixel and its eight neighbours, which forgives
// the fraction of a pixel the font's hinting moves a stem edge of the picture.
struct Darkness
{
    double mass = 0;
    QPointF centre;
};

Darkness darkness(const QImage &image)
{
    Darkness ink;
    double sx = 0, sy = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double dark = 765 - qRed(p) - qGreen(p) - qBlue(p);
            ink.mass += dark;
            sx += dark * x;
            sy += dark * y;
        }
    if (ink.mass > 0)
        ink.centre = QPointF(sx / ink.mass, sy / ink.mass);
    return ink;
}

int channelDistance(QRgb p, QRgb q)
{
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                     std::abs(qBlue(p) - qBlue(q))});
}

int largestNearDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            int nearest = 256;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (b.valid(x + dx, y + dy))
                        nearest = std::min(nearest,
                                           channelDistance(a.pixel(x, y), b.pixel(x + dx, y + dy)));
            largest = std::max(largest, nearest);
        }
    return largest;
}

// What a file holds: an <svg> root in the SVG namespace whose width, height and viewBox give
// `box` in pixels, holding <path> elements only. An empty text when it is so; else what is not.
QString outlineDocumentProblem(const QByteArray &svg, QSize box)
{
    QXmlStreamReader xml(svg);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("svg") ||
        xml.namespaceUri() != QLatin1String("http://www.w3.org/2000/svg"))
        return QStringLiteral("no svg root");
    const QXmlStreamAttributes root = xml.attributes();
    if (root.value(QLatin1String("width")) != QStringLiteral("%1px").arg(box.width()) ||
        root.value(QLatin1String("height")) != QStringLiteral("%1px").arg(box.height()) ||
        root.value(QLatin1String("viewBox")) !=
            QStringLiteral("0 0 %1 %2").arg(box.width()).arg(box.height()))
        return QStringLiteral("box ") + root.value(QLatin1String("width")).toString() + u' ' +
               root.value(QLatin1String("height")).toString();
    int paths = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() != QLatin1String("path"))
            return QStringLiteral("element ") + xml.name().toString();
        ++paths;
    }
    if (xml.hasError())
        return xml.errorString();
    return paths > 0 ? QString() : QStringLiteral("no path");
}

QSize intrinsicPixels(const QByteArray &svg)
{
    GError *error = nullptr;
    RsvgHandle *handle = rsvg_handle_new_from_data(
        reinterpret_cast<const guint8 *>(svg.constData()), static_cast<gsize>(svg.size()), &error);
    g_clear_error(&error);
    if (!handle)
        return {};
    double width = 0, height = 0;
    const bool known = rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height);
    g_object_unref(handle);
    return known ? QSize(qRound(width), qRound(height)) : QSize();
}

} // namespace

// The bounds come from measuring both fonts from 12 to 120 px. From about 64 px up Qt draws a
// picture's text from the same outlines, and the two agree to the anti-aliasing of the edges
// (at most 37 levels measured, the ink's centre within 0.05 px). Below that the picture comes
// from the font's hinted bitmaps, whose edges the hinting moves by up to half a pixel: then a
// pixel can differ by up to 233 levels, but within one pixel of it the other picture has one
// within 123 levels, the ink differs by at most 9 % and its centre by at most 0.56 px. A glyph
// left out, put in another's box or shifted by a pixel breaks the first kind of row; one left
// out or shifted by two pixels, the second.
TEST(SvgGlyphWriter, AnSvgSetDrawsTheGlyphsOfTheGifSetInTheSameBoxes)
{
    struct Case
    {
        const char *family;
        int size;
        bool bold;
        QRgb ink;
        int pixelLevels; // any pixel against the same pixel
        int nearLevels;  // any pixel against the closest of the other's 3 × 3
        double inkShare; // the ink of the SVG against that of the GIF, either way
        double centrePx; // the ink's centre, across and down
    };
    const Case cases[] = {
        {"DejaVu Sans", 100, true, qRgb(0, 0, 0), 48, 48, 0.02, 0.15},
        {"Liberation Serif", 100, false, qRgb(0x1B, 0x35, 0x5E), 48, 48, 0.02, 0.15},
        {"DejaVu Serif", 28, true, qRgb(0x1B, 0x35, 0x5E), 255, 160, 0.12, 0.75},
        {"Liberation Sans", 12, false, qRgb(0, 0, 0), 255, 160, 0.12, 0.75},
    };
    const QStringList gifs = madeGlyphFileNames(MadeGlyphFiles::Gif);
    const QStringList svgs = madeGlyphFileNames(MadeGlyphFiles::Svg);
    ASSERT_EQ(svgs.size(), 29);
    EXPECT_EQ(svgs.first(), QStringLiteral("0.svg"));
    EXPECT_EQ(svgs[16], QStringLiteral("Вс.svg"));
    EXPECT_EQ(svgs.last(), QStringLiteral("Декабрь.svg"));
    for (const Case &c : cases) {
        const QString row = QStringLiteral("%1 %2").arg(QLatin1String(c.family)).arg(c.size);
        SCOPED_TRACE(row.toStdString());
        TempAppFolder app;
        const MadeGlyphs made =
            makeGlyphs({QString::fromLatin1(c.family), c.size, c.bold, QColor(c.ink)});
        ASSERT_TRUE(writeMadeGlyphs(made, app.file(QStringLiteral("gif")), false).ok);
        ASSERT_TRUE(
            writeMadeGlyphs(made, app.file(QStringLiteral("svg")), false, {}, MadeGlyphFiles::Svg)
                .ok);
        EXPECT_EQ(QDir(app.file(QStringLiteral("svg"))).entryList(QDir::Files, QDir::Name).size(),
                  29);
        for (qsizetype i = 0; i < gifs.size(); ++i) {
            SCOPED_TRACE(svgs[i].toStdString());
            const QImage gif = readGlyphImage(app.file(QStringLiteral("gif/") + gifs[i]));
            const QByteArray bytes = app.read(QStringLiteral("svg/") + svgs[i]);
            ASSERT_FALSE(gif.isNull());
            EXPECT_FALSE(bytes.contains("<text")) << "outlines need no font";
            EXPECT_EQ(outlineDocumentProblem(bytes, gif.size()), QString());
            EXPECT_EQ(intrinsicPixels(bytes), gif.size());
            const QImage svg = renderSvg(bytes, gif.size());
            ASSERT_FALSE(svg.isNull()) << "librsvg reads it";

            int pixel = 0;
            for (int y = 0; y < gif.height(); ++y)
                for (int x = 0; x < gif.width(); ++x)
                    pixel = std::max(pixel, channelDistance(gif.pixel(x, y), svg.pixel(x, y)));
            EXPECT_LE(pixel, c.pixelLevels);
            EXPECT_LE(largestNearDifference(svg, gif), c.nearLevels);
            EXPECT_LE(largestNearDifference(gif, svg), c.nearLevels);
            const Darkness g = darkness(gif), v = darkness(svg);
            ASSERT_GT(g.mass, 0);
            EXPECT_NEAR(v.mass / g.mass, 1.0, c.inkShare);
            // A month title's letters add their advances' rounding up along its width.
            const double across = i < 17 ? c.centrePx : 2 * c.centrePx;
            EXPECT_NEAR(v.centre.x(), g.centre.x(), across);
            EXPECT_NEAR(v.centre.y(), g.centre.y(), c.centrePx);
        }
    }
}

TEST(SvgGlyphWriter, OverlappingContoursAreInkedByTheFillRuleOfTheOutline)
{
    // Two squares overlapping in the middle, and an outline with nothing in it.
    QPainterPath squares;
    squares.addRect(2, 2, 10, 10);
    squares.addRect(6, 6, 10, 10);
    struct Case
    {
        const char *what;
        QPainterPath outline;
        Qt::FillRule rule;
        QRgb corner, overlap; // at (3, 3) and at (9, 9)
    };
    const QRgb ink = qRgb(0x1B, 0x35, 0x5E), white = qRgb(255, 255, 255);
    const Case cases[] = {
        {"nonzero", squares, Qt::WindingFill, ink, ink},
        {"even-odd", squares, Qt::OddEvenFill, ink, white},
        {"empty", QPainterPath(), Qt::WindingFill, white, white},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        c.outline.setFillRule(c.rule);
        const QByteArray bytes = encodeSvgGlyph(c.outline, QSize(20, 18), QColor(ink));
        EXPECT_EQ(intrinsicPixels(bytes), QSize(20, 18));
        const QImage drawn = renderSvg(bytes, QSize(20, 18));
        ASSERT_FALSE(drawn.isNull());
        EXPECT_EQ(drawn.pixel(3, 3), c.corner);
        EXPECT_EQ(drawn.pixel(9, 9), c.overlap);
        EXPECT_EQ(drawn.pixel(18, 1), white);
    }
    // The glyphs of a font are filled as the font means them.
    const MadeGlyphs made = makeGlyphs({QStringLiteral("DejaVu Sans"), 20, true, Qt::black});
    for (const QPainterPath &outline : made.weekdayOutlines)
        EXPECT_EQ(outline.fillRule(), Qt::WindingFill);
}
