// The month titles a set may hold and the tinted holders built with its red variants, for
// pictures and, through the loader process, for drawings.
#include "compose/glyphs/GlyphSet.h"

#include "common/ProgramText.h"
#include "compose/GlyphFiles.h"
#include "compose/tints/GreyTint.h"
#include "compose/tints/PaleTint.h"
#include "support/PrintTools.h"
#include "support/TempAppFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

QRgb titleInk(int month)
{
    return qRgb(30 + month, 90, 150);
}

// The titles of the set in `folder` as pictures 20 + month pixels wide.
void writeTitles(const TempAppFolder &app, const QString &folder, const QStringList &skip = {})
{
    for (int m = 0; m < 12; ++m) {
        const QString name = monthTitleFileName(m);
        if (!skip.contains(name))
            app.write(folder + u'/' + name, pngBytes(testGlyph({20 + m, 8}, titleInk(m))));
    }
}

} // namespace

TEST(GlyphSetTitles, TitlesAreOptionalAndTheFirstOneMissingOrDamagedIsNamed)
{
    // A GIF cut in half, and one declaring 60000 x 60000 pixels: damaged and too large, as the
    // load of a digit sees them.
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0};
    const QByteArray gif = gifBytes(8, 8, palette, std::vector<quint8>(64, 0));
    const QByteArray cut = gif.left(gif.size() / 2);
    const QByteArray huge = gifBytes(60000, 60000, palette, {1, 0, 1});
    struct Case
    {
        const char *what;
        QStringList skip;
        QString damaged;
        qint32 sizeCheck;
        QString missing;
        QByteArray bytes = {};
    };
    const QString may = QStringLiteral("Май.gif");
    for (const Case &c : {
             Case{"every title", {}, {}, 0, {}},
             Case{"without May", {may}, {}, 0, may},
             Case{"May missing, March damaged",
                  {may},
                  QStringLiteral("Март.gif"),
                  0,
                  QStringLiteral("Март.gif"),
                  cut},
             Case{"April too large",
                  {},
                  QStringLiteral("Апрель.gif"),
                  0,
                  QStringLiteral("Апрель.gif"),
                  huge},
             Case{"size check reads the titles too", {may}, {}, 1, may},
             Case{"no titles at all",
                  [] {
                      QStringList all;
                      for (int m = 0; m < 12; ++m)
                          all << monthTitleFileName(m);
                      return all;
                  }(),
                  {},
                  0,
                  QStringLiteral("Январь.gif")},
         }) {
        SCOPED_TRACE(c.what);
        TempAppFolder app;
        writeGlyphSet(app, QStringLiteral("set"), 1, {3, 5}, {7, 5});
        writeTitles(app, QStringLiteral("set"), c.skip);
        if (!c.damaged.isEmpty())
            app.write(QStringLiteral("set/") + c.damaged, c.bytes);
        const GlyphLoad load = loadGlyphSet(app.file(QStringLiteral("set/")), c.sizeCheck);
        ASSERT_TRUE(load.complete);
        ASSERT_NE(load.set, nullptr);
        EXPECT_EQ(load.set->missingTitle, c.missing);
        for (int m = 0; m < 12; ++m) {
            const auto i = std::size_t(m);
            const QString name = monthTitleFileName(m);
            const QImage &title = load.set->monthTitles[i];
            if (c.skip.contains(name) || name == c.damaged) {
                EXPECT_TRUE(title.isNull()) << m;
                continue;
            }
            ASSERT_EQ(title.size(), QSize(20 + m, 8)) << m;
            // Pixel for pixel, never tinted, with its ink found.
            EXPECT_EQ(title.pixel(0, 0), titleInk(m)) << m;
            EXPECT_EQ(title.pixel(19 + m, 7), qRgb(255, 255, 255)) << m;
            EXPECT_EQ(load.set->ink.titles[i].rows.size(), 8u) << m;
        }
    }
}

TEST(GlyphSetTitles, AFailedLoadKeepsTheTitlesAndTintsOfTheSetBefore)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("full"), 1, {3, 5}, {7, 5});
    writeTitles(app, QStringLiteral("full"));
    writeGlyphSet(app, QStringLiteral("broken"), 2, {3, 5}, {7, 5}, {QStringLiteral("5.gif")});
    writeTitles(app, QStringLiteral("broken"));
    const SharedGlyphs before = loadGlyphSet(app.file(QStringLiteral("full/")), 0).set;
    ASSERT_NE(before, nullptr);
    const GlyphLoad failed = readGlyphImages(app.file(QStringLiteral("broken/")), false);
    ASSERT_FALSE(failed.complete);
    const SharedGlyphs kept = keptAfterFailure(failed, 0, before.get());
    EXPECT_EQ(kept->picChisla[0].pixel(0, 0), glyphInk(2, 0));
    EXPECT_EQ(kept->monthTitles[4].pixel(0, 0), titleInk(4));
    EXPECT_TRUE(kept->missingTitle.isEmpty());
    // The tints stay with the red variants they were built with.
    EXPECT_EQ(kept->paleDigits[0].pixel(0, 0), before->paleDigits[0].pixel(0, 0));
}

TEST(GlyphSetTitles, TintedHoldersAreTheTintsOfTheHoldersPixels)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("set"), 3, {3, 5}, {7, 5});
    const GlyphLoad load = loadGlyphSet(app.file(QStringLiteral("set/")), 0);
    ASSERT_NE(load.set, nullptr);
    const GlyphSet &set = *load.set;
    const PaleTint pale;
    const GreyTint grey;
    for (const QPoint at : {QPoint(0, 0), QPoint(2, 4)}) {
        SCOPED_TRACE(at.x());
        for (std::size_t d : {0U, 7U}) {
            const QRgb holder = set.picChisla[d].pixel(at);
            EXPECT_EQ(set.paleDigits[d].pixel(at), pale.recolour(holder));
            EXPECT_EQ(set.paleRedDigits[d].pixel(at), pale.recolourRed(holder));
            EXPECT_EQ(set.greyDigits[d].pixel(at), grey.recolour(holder));
        }
        for (std::size_t w : {0U, 6U}) {
            const QRgb holder = set.picDniNedeli[w].pixel(at);
            EXPECT_EQ(set.paleWeekdays[w].pixel(at), pale.recolour(holder));
            EXPECT_EQ(set.paleRedWeekdays[w].pixel(at), pale.recolourRed(holder));
        }
    }
    EXPECT_EQ(set.paleDigits[3].size(), set.picChisla[3].size());
    EXPECT_EQ(set.paleRedWeekdays[5].size(), set.picDniNedeli[5].size());
}

TEST(GlyphSetTitles, DrawingsComeThroughTheLoaderInEveryTintAndTitlesPlain)
{
    TempAppFolder app;
    const QString folder = writeSvgGlyphs(app);
    const auto write = [&folder](const QString &name, const QByteArray &text) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    for (int m = 0; m < 12; ++m)
        write(monthTitleFileName(m, GlyphKind::Vector),
              "<svg xmlns='http://www.w3.org/2000/svg' width='" + QByteArray::number(20 + m) +
                  "' height='9'><rect width='100%' height='100%' fill='#000'/></svg>");
    QFile::remove(folder + QStringLiteral("Май.svg"));
    write(QStringLiteral("Июль.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='20'");

    const GlyphLoad load = loadGlyphSet(folder, 0);
    ASSERT_TRUE(load.complete);
    const GlyphSet &set = *load.set;
    ASSERT_EQ(set.kind, GlyphKind::Vector);
    EXPECT_EQ(set.missingTitle, QStringLiteral("Май.svg"));
    EXPECT_FALSE(set.vectorTitles[4] || set.vectorTitles[6]);
    ASSERT_TRUE(set.vectorTitles[11]);
    EXPECT_EQ(set.monthTitles[11].size(), QSize(31, 9));
    EXPECT_EQ(set.monthTitles[11].pixel(15, 4), qRgb(0, 0, 0));
    EXPECT_FALSE(set.vectorTitles[11]->hasTint(GlyphTint::Holiday));

    // Each tint is the colour function applied to the drawing: black goes where the table says.
    const SvgGlyph &title = *set.vectorTitles[0];
    EXPECT_EQ(title.render(1.0, GlyphTint::Plain).pixel(5, 5), qRgb(0, 0, 0));
    const SvgGlyph &monday = *set.vectorWeekdays[0];
    const PaleTint pale;
    const QRgb green = qRgb(0x20, 0x60, 0x20);
    EXPECT_EQ(monday.render(1.0, GlyphTint::Pale).pixel(5, 5) | 0xFF000000u, pale.recolour(green));
    EXPECT_EQ(set.paleWeekdays[0].pixel(5, 5), pale.recolour(green));
    EXPECT_EQ(set.paleRedWeekdays[0].pixel(5, 5), pale.recolourRed(green));
    const SvgGlyph &zero = *set.vectorDigits[0];
    for (const GlyphTint tint : {GlyphTint::Pale, GlyphTint::PaleHoliday, GlyphTint::Grey})
        EXPECT_TRUE(zero.hasTint(tint)) << int(tint);
    EXPECT_EQ(set.greyDigits[0].pixel(2, 1), GreyTint().recolour(set.picChisla[0].pixel(2, 1)));

    // At another resolution and recording the titles go along.
    const SharedGlyphs twice = glyphsAtScale(load.set, 2.0);
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->monthTitles[11].size(), QSize(62, 18));
    EXPECT_EQ(twice->missingTitle, QStringLiteral("Май.svg"));
    EXPECT_EQ(twice->paleDigits[0].size(), twice->picChisla[0].size());
    const auto finer = recordedAt(set, 600);
    ASSERT_TRUE(finer);
    ASSERT_TRUE(finer->vectorTitles[11]);
    EXPECT_GT(finer->vectorTitles[11]->recordScale(), title.recordScale());
}
