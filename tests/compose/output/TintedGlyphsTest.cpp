#include "compose/glyphs/GlyphInk.h"
#include "compose/output/PixelPainter.h"
#include "compose/output/VectorSheet.h"
#include "compose/tints/GreyTint.h"
#include "compose/tints/PaleTint.h"

#include "support/PrintTools.h"
#include "support/TestGlyphs.h"

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
        {at(R::Weekday, 2, T::PaleHoliday), set.paleRedWeekdays[2]},
        {at(R::Weekday, 2, T::Grey), {}}, // the set holds no grey names
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

// Glyph pictures with a transparent row and a half-covered one, the set's opaque holders
// made from them on white and tinted as the set tints them.
TEST(TintedGlyphs, TransparentPicturesKeepTheGlyphsAlphaAndShowTheOpaqueTintsOnWhite)
{
    GlyphSet set = *TestGlyphs().view();
    const auto onWhite = [](const QImage &image) {
        QImage white(image.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QPainter(&white).drawImage(0, 0, image);
        return white;
    };
    QImage alpha(10, 15, QImage::Format_ARGB32_Premultiplied);
    alpha.fill(qRgb(20, 90, 160));
    alpha.setPixel(3, 0, 0);
    alpha.setPixel(4, 1, qPremultiply(qRgba(20, 90, 160, 128)));
    set.digitsAlpha[3] = set.titlesAlpha[0] = alpha;
    set.picChisla[3] = set.monthTitles[0] = onWhite(alpha);
    set.paleDigits[3] = PaleTint().paleImage(set.picChisla[3]);
    set.paleRedDigits[3] = PaleTint().paleRedImage(set.picChisla[3]);
    set.greyDigits[3] = GreyTint().greyImage(set.picChisla[3]);

    const GlyphPictures pictures = transparentPictures(set);
    const GlyphPictures opaque = opaquePictures(set);
    for (const GlyphPlace &place :
         {at(GlyphRole::Digit, 3, GlyphTint::Pale), at(GlyphRole::Digit, 3, GlyphTint::PaleHoliday),
          at(GlyphRole::Digit, 3, GlyphTint::Grey),
          at(GlyphRole::MonthTitle, 0, GlyphTint::Pale)}) {
        SCOPED_TRACE(testing::Message()
                     << "role " << int(place.role) << " tint " << int(place.variant));
        const QImage &picture = pictures.of(place);
        ASSERT_EQ(picture.size(), alpha.size());
        const QImage shown = onWhite(picture);
        const QImage expected = opaque.of(place).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                ASSERT_EQ(qAlpha(picture.pixel(x, y)), qAlpha(alpha.pixel(x, y))) << x << "," << y;
                // The holiday red is no blend toward white, so its pale red matches on white only
                // where the glyph covers it; the other tints round twice at half cover.
                if (place.variant == GlyphTint::PaleHoliday && qAlpha(alpha.pixel(x, y)) < 255)
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

QByteArray written(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && write(file));
    file.close();
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST(TintedGlyphs, VectorDocumentsHoldEachGlyphInEachTintOnceAndAVectorSetAsNoImage)
{
    test::TempAppFolder app;
    const GlyphLoad load = loadGlyphSet(test::writeSvgGlyphs(app), 0);
    ASSERT_TRUE(load.complete);
    GlyphSet vector = *load.set;
    for (std::size_t m = 0; m < 12; ++m)
        vector.vectorTitles[m] = vector.vectorWeekdays[m % 7];
    const GlyphSet raster = tintedSet();

    // Every digit in every tint, the weekend names in theirs, grey names (none), three titles;
    // then the same three times over, the titles asked for in other tints too.
    std::vector<GlyphPlace> once;
    for (int tint = 0; tint < kGlyphTints; ++tint) {
        const auto t = static_cast<GlyphTint>(tint);
        for (int d = 0; d < 10; ++d)
            once.push_back({GlyphRole::Digit, std::uint8_t(d), t, d * 12, tint * 20});
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
    const int drawings = 10 * 5 + 2 * 4 + 3; // no grey names

    for (const auto &places : {once, often}) {
        SCOPED_TRACE(places.size());
        const PlacedGlyphs fromSvg(vector, places);
        const QString pdf = app.file(QStringLiteral("places.pdf"));
        // Cairo writes a drawing as two forms, its recording and its use as a pattern.
        EXPECT_EQ(count(written(pdf,
                                [&](QIODevice &device) {
                                    return writeVectorPdf(fromSvg, false, {600, 400},
                                                          {10, 10, 400, 300}, device);
                                }),
                        "/Subtype /Form"),
                  2 * drawings);
        EXPECT_EQ(test::run("pdfimages", {"-list", pdf}).trimmed().split(u'\n').size(), 2);
        const QByteArray svg = written(app.file("places.svg"), [&](QIODevice &device) {
            return writeSvgSheet(fromSvg, true, device);
        });
        EXPECT_EQ(count(svg, "<image"), 0);
        EXPECT_EQ(count(svg, "<g id=\"surface"), 2 * drawings + 1);

        // A raster set's glyphs are pictures, one for each drawing above.
        const PlacedGlyphs fromGif(raster, places);
        const QByteArray pixels = written(app.file("pixels.svg"), [&](QIODevice &device) {
            return writeSvgSheet(fromGif, false, device);
        });
        EXPECT_EQ(count(pixels, "<image"), drawings);
    }
}

} // namespace
} // namespace vexilo
