#include "compose/glyphs/GlyphInk.h"
#include "compose/output/PixelPainter.h"
#include "compose/output/VectorSheet.h"
#include "compose/tints/GreyTint.h"
#include "compose/tints/PaleTint.h"

#include "support/PrintTools.h"
#include "support/TestGlyphs.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

namespace vexilo {
namespace {

using test::TestGlyphs;

constexpr QSize kCanvas{80, 40};
constexpr qint64 kX = 3;
constexpr qint64 kY = 4;

// A glyph image of one colour with a white margin and a white hole, so an ink-only copy over
// other ink shows whether the glyph's white covers it.
QImage marked(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.fillRect(0, 0, 2, size.height(), Qt::white);
    painter.fillRect(size.width() / 2, size.height() / 2, 2, 2, Qt::white);
    return image;
}

// The synthetic set with tinted holders and titles of their own colours; December has no title.
GlyphSet tintedSet()
{
    GlyphSet set = *TestGlyphs().view();
    for (std::size_t d = 0; d < 10; ++d) {
        const auto c = static_cast<int>(d);
        set.paleDigits[d] = marked(set.picChisla[d].size(), qRgb(200, 210, 220 + c));
        set.paleRedDigits[d] = marked(set.picChisla[d].size(), qRgb(255, 180, 170 + c));
        set.greyDigits[d] = marked(set.picChisla[d].size(), qRgb(140 + c, 140 + c, 140 + c));
    }
    for (std::size_t w = 0; w < 7; ++w) {
        const auto c = static_cast<int>(w);
        set.paleWeekdays[w] = marked(set.picDniNedeli[w].size(), qRgb(190, 200 + c, 210));
        if (w >= 5)
            set.paleRedWeekdays[w] = marked(set.picDniNedeli[w].size(), qRgb(255, 190 + c, 190));
    }
    for (std::size_t m = 0; m < 11; ++m) {
        set.monthTitles[m] = marked({30 + int(m), 8}, qRgb(30, 40 + int(m), 50));
        set.ink.titles[m] = inkOf(set.monthTitles[m]);
    }
    return set;
}

QImage solid(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A canvas of one glyph over the plain digit 8 it partly covers, painted as the sheets are.
QImage painted(const GlyphSet &set, const GlyphPlace &place, qint64 top, bool inkOnly)
{
    const CanvasPlan canvas{kCanvas, {{GlyphRole::Digit, 8, GlyphTint::Plain, 0, 0}, place}};
    QImage white(kCanvas.width(), kCanvas.height() - int(top), QImage::Format_RGB32);
    white.fill(Qt::white);
    paintCanvas(white, canvas, set, top, inkOnly);
    return white;
}

GlyphPlace at(GlyphRole role, int index, GlyphTint tint)
{
    return {role, static_cast<std::uint8_t>(index), tint, kX, kY};
}

TEST(TintedGlyphs, EveryRoleAndTintPaintsItsHoldersPixelsAtItsPlace)
{
    const GlyphSet set = tintedSet();
    using R = GlyphRole;
    using T = GlyphTint;
    struct Case
    {
        GlyphPlace place;
        QImage expected; // null: nothing is drawn
    };
    const std::vector<Case> cases = {
        {at(R::Digit, 3, T::Plain), set.picChisla[3]},
        {at(R::Digit, 3, T::Holiday), solid({10, 15}, TestGlyphs::redDigitColour(3))},
        {at(R::Digit, 3, T::Pale), set.paleDigits[3]},
        {at(R::Digit, 3, T::PaleHoliday), set.paleRedDigits[3]},
        {at(R::Digit, 3, T::Grey), set.greyDigits[3]},
        {at(R::Weekday, 2, T::Plain), set.picDniNedeli[2]},
        {at(R::Weekday, 6, T::Holiday), solid({20, 15}, TestGlyphs::redWeekendColour(1))},
        {at(R::Weekday, 2, T::Pale), set.paleWeekdays[2]},
        {at(R::Weekday, 6, T::PaleHoliday), set.paleRedWeekdays[6]},
        {at(R::Weekday, 2, T::PaleHoliday), {}}, // only the weekend has red names
        {at(R::Weekday, 2, T::Grey), {}},        // the set holds no grey names
        {at(R::MonthTitle, 4, T::Plain), set.monthTitles[4]},
        {at(R::MonthTitle, 4, T::Pale), set.monthTitles[4]}, // titles are never tinted
        {at(R::MonthTitle, 11, T::Plain), {}},               // a title the set lacks
        {at(R::MonthTitle, 12, T::Plain), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "role " << int(c.place.role) << " index "
                                        << int(c.place.index) << " tint " << int(c.place.variant));
        QImage expected(kCanvas, QImage::Format_RGB32);
        expected.fill(Qt::white);
        copyGlyph(expected, set.picChisla[8], 0, 0);
        copyGlyph(expected, c.expected, kX, kY);
        EXPECT_EQ(painted(set, c.place, 0, true), expected);
        EXPECT_EQ(painted(set, c.place, 0, false), expected);
        EXPECT_EQ(painted(set, c.place, 6, true), expected.copy(0, 6, kCanvas.width(), 34));
    }
}

// A glyph picture with its own transparency, the set's opaque holder made from it on white.
QImage withHoles(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    for (int x = 0; x < size.width(); ++x) {
        image.setPixel(x, 0, qRgba(0, 0, 0, 0));
        image.setPixel(x, 1, qRgba(qRed(colour), qGreen(colour), qBlue(colour), 128));
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage onWhite(const QImage &image)
{
    QImage white(image.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter(&white).drawImage(0, 0, image);
    return white;
}

TEST(TintedGlyphs, TransparentPicturesKeepTheGlyphsAlphaAndShowTheOpaqueTintsOnWhite)
{
    GlyphSet set = *TestGlyphs().view();
    const PaleTint pale;
    const GreyTint grey;
    set.digitsAlpha[3] = withHoles({10, 15}, qRgb(20, 90, 160));
    set.picChisla[3] = onWhite(set.digitsAlpha[3]);
    set.paleDigits[3] = pale.paleImage(set.picChisla[3]);
    set.paleRedDigits[3] = pale.paleRedImage(set.picChisla[3]);
    set.greyDigits[3] = grey.greyImage(set.picChisla[3]);
    set.weekdaysAlpha[5] = withHoles({20, 15}, qRgb(60, 20, 90));
    set.picDniNedeli[5] = onWhite(set.weekdaysAlpha[5]);
    set.paleWeekdays[5] = pale.paleImage(set.picDniNedeli[5]);
    set.paleRedWeekdays[5] = pale.paleRedImage(set.picDniNedeli[5]);
    set.titlesAlpha[0] = withHoles({30, 8}, qRgb(120, 30, 30));
    set.monthTitles[0] = onWhite(set.titlesAlpha[0]);
    set.monthTitles[1] = solid({25, 8}, qRgb(1, 2, 3)); // opaque: no alpha picture

    const GlyphPictures pictures = transparentPictures(set);
    const GlyphPictures opaque = opaquePictures(set);
    struct Case
    {
        GlyphPlace place;
        const QImage &alpha; // whose transparency the picture keeps
    };
    const std::vector<Case> cases = {
        {at(GlyphRole::Digit, 3, GlyphTint::Pale), set.digitsAlpha[3]},
        {at(GlyphRole::Digit, 3, GlyphTint::PaleHoliday), set.digitsAlpha[3]},
        {at(GlyphRole::Digit, 3, GlyphTint::Grey), set.digitsAlpha[3]},
        {at(GlyphRole::Weekday, 5, GlyphTint::Pale), set.weekdaysAlpha[5]},
        {at(GlyphRole::Weekday, 5, GlyphTint::PaleHoliday), set.weekdaysAlpha[5]},
        {at(GlyphRole::MonthTitle, 0, GlyphTint::Plain), set.titlesAlpha[0]},
        {at(GlyphRole::MonthTitle, 1, GlyphTint::Plain), set.monthTitles[1]},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "role " << int(c.place.role) << " tint " << int(c.place.variant));
        const QImage picture = pictures.of(c.place).convertToFormat(QImage::Format_ARGB32);
        const QImage alpha = c.alpha.convertToFormat(QImage::Format_ARGB32);
        const QImage expected = opaque.of(c.place).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), alpha.size());
        const QImage shown = onWhite(pictures.of(c.place));
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                ASSERT_EQ(qAlpha(picture.pixel(x, y)), qAlpha(alpha.pixel(x, y))) << x << "," << y;
                // Half-covered pixels round twice on their way to white. The holiday red is no
                // blend toward white, so its pale red matches on white only where covered.
                if (c.place.variant == GlyphTint::PaleHoliday && qAlpha(alpha.pixel(x, y)) < 255)
                    continue;
                const QRgb a = shown.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                ASSERT_LE(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)),
                          3)
                    << x << "," << y;
            }
        }
    }

    // A title on a transparent canvas stands at its place and nowhere else.
    QImage clear(kCanvas, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    paintTransparent(clear, {kCanvas, {at(GlyphRole::MonthTitle, 0, GlyphTint::Plain)}}, pictures);
    EXPECT_EQ(clear.copy(int(kX), int(kY), 30, 8), pictures.monthTitles[0]);
    EXPECT_EQ(qAlpha(clear.pixel(int(kX) + 30, int(kY) + 5)), 0);
    EXPECT_EQ(qAlpha(clear.pixel(int(kX) - 1, int(kY) + 5)), 0);
}

// One canvas of the given places, for the vector writers.
class PlacedGlyphs final : public CanvasSource
{
public:
    PlacedGlyphs(const GlyphSet &set, std::vector<GlyphPlace> places)
        : m_set(set), m_places(std::move(places))
    {}
    qint32 canvasCount() const override { return 1; }
    QSize canvasSize() const override { return {400, 300}; }
    qint32 canvasPitch() const override { return 300; }
    void drawCanvas(QImage &white, qint32, qint32 top) const override
    {
        paintCanvas(white, {canvasSize(), m_places}, m_set, top);
    }
    const GlyphSet *glyphSet() const override { return &m_set; }
    std::vector<GlyphPlace> glyphPlaces(qint32) const override { return m_places; }

private:
    const GlyphSet &m_set;
    std::vector<GlyphPlace> m_places;
};

int count(const QByteArray &bytes, const QByteArray &what)
{
    int n = 0;
    for (qsizetype at = bytes.indexOf(what); at >= 0; at = bytes.indexOf(what, at + 1))
        ++n;
    return n;
}

TEST(TintedGlyphs, VectorDocumentsDrawEveryTintAndTitleOnceEachAndHoldNoImage)
{
    test::TempAppFolder app;
    const GlyphLoad load = loadGlyphSet(test::writeSvgGlyphs(app), 0);
    ASSERT_TRUE(load.complete);
    GlyphSet set = *load.set;
    for (std::size_t m = 0; m < 12; ++m)
        set.vectorTitles[m] = set.vectorWeekdays[m % 7];

    // Every digit in every tint, the weekend names in theirs, three titles; then the same
    // three times over, with the titles asked for in other tints too.
    std::vector<GlyphPlace> once;
    for (int tint = 0; tint < kGlyphTints; ++tint) {
        const auto t = static_cast<GlyphTint>(tint);
        for (int d = 0; d < 10; ++d)
            once.push_back({GlyphRole::Digit, std::uint8_t(d), t, d * 12, tint * 20});
        if (t != GlyphTint::Grey)
            for (int w = 5; w < 7; ++w)
                once.push_back({GlyphRole::Weekday, std::uint8_t(w), t, 130 + w * 20, tint * 20});
    }
    for (int m = 0; m < 3; ++m)
        once.push_back({GlyphRole::MonthTitle, std::uint8_t(m), GlyphTint::Plain, m * 40, 150});
    std::vector<GlyphPlace> often;
    for (int copy = 0; copy < 3; ++copy) {
        for (GlyphPlace place : once) {
            place.y += copy * 40;
            if (place.title())
                place.variant = static_cast<GlyphTint>(copy);
            often.push_back(place);
        }
    }

    std::vector<int> forms;
    for (const auto &places : {once, often}) {
        const PlacedGlyphs source(set, places);
        const QString pdf = app.file(QStringLiteral("places%1.pdf").arg(forms.size()));
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writeVectorPdf(source, false, {600, 400}, {10, 10, 400, 300}, file));
        file.close();
        EXPECT_EQ(test::run("pdfimages", {"-list", pdf}).trimmed().split(u'\n').size(), 2);
        file.open(QIODevice::ReadOnly);
        forms.push_back(count(file.readAll(), "/Subtype /Form"));

        QBuffer svg;
        svg.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writeSvgSheet(source, true, svg));
        EXPECT_EQ(count(svg.data(), "<image"), 0);
        forms.push_back(count(svg.data(), "<g id=\"surface"));
    }
    // Each distinct drawing is in the document, and repeating places adds uses, never
    // another drawing.
    const auto distinct = static_cast<int>(once.size());
    EXPECT_GE(forms[0], distinct);
    EXPECT_GE(forms[1], distinct);
    EXPECT_EQ(forms[2], forms[0]);
    EXPECT_EQ(forms[3], forms[1]);
}

TEST(TintedGlyphs, RasterSetsGoIntoSvgAsTheTintedPixelsOncePerPicture)
{
    test::TempAppFolder app;
    const GlyphSet set = tintedSet();
    using R = GlyphRole;
    using T = GlyphTint;
    const std::vector<GlyphPlace> places = {
        {R::Digit, 3, T::Pale, 0, 0},        {R::Digit, 3, T::Pale, 0, 100},
        {R::Digit, 3, T::Grey, 50, 0},       {R::Weekday, 6, T::PaleHoliday, 100, 0},
        {R::Weekday, 2, T::Grey, 200, 0},    {R::MonthTitle, 4, T::Plain, 0, 50},
        {R::MonthTitle, 4, T::Pale, 0, 200},
    };
    const PlacedGlyphs source(set, places);
    QFile file(app.file(QStringLiteral("raster.svg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writeSvgSheet(source, false, file));
    file.close();
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(count(file.readAll(), "<image"), 4); // pale 3, grey 3, pale red Вс, May

    test::run("rsvg-convert", {"-o", app.file("raster.png"), app.file("raster.svg")});
    const QImage shown = QImage(app.file("raster.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), source.canvasSize());
    for (const GlyphPlace &place : places) {
        QImage expected = solid(source.canvasSize(), qRgb(255, 255, 255));
        const QImage *image = heldGlyph(set, place).image;
        if (image != nullptr && !image->isNull())
            copyGlyph(expected, *image, place.x, place.y);
        const QRect box(int(place.x), int(place.y), 30, 15);
        EXPECT_EQ(shown.copy(box), expected.copy(box)) << int(place.variant);
    }
}

} // namespace
} // namespace vexilo
