#include "common/ColorRef.h"
#include "compose/GlyphFiles.h"
#include "compose/tints/HolidayTint.h"
#include "support/FormaUi.h"
#include "support/MainWindowTest.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kFailure = QStringLiteral("Произошла ошибка при загрузке картинок.");

class OpenChislaTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        draws = std::make_unique<QSignalSpy>(form.get(), &frmForma::drawCommandIssued);
        platform.messages.clear();
    }

    void load(const QString &folder, qint32 mode, qint32 sizeCheck = 0)
    {
        state.PapkaKartinok = folder;
        state.ProverkaRazmerov = sizeCheck;
        form->OpenChisla(mode);
    }

    int failureMessages() const
    {
        int count = 0;
        for (const RecordedMessage &message : platform.messages)
            count += message.text == kFailure ? 1 : 0;
        return count;
    }

    static quint32 redOf(QRgb ink) { return toColorRef(HolidayTint().recolour(ink)); }

    std::unique_ptr<QSignalSpy> draws;
};

} // namespace

TEST_F(OpenChislaTest, LoadFillsTheHoldersTheCaptionAndTheRedVariants)
{
    writeGlyphSet(app, QStringLiteral("Набор"), 1, {4, 6}, {9, 6});
    load(QStringLiteral("Набор"), 0);
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(state.Zagolovok, QStringLiteral("Создатель календарей Vexilo - [Набор]"));
    EXPECT_EQ(form->windowTitle(), state.Zagolovok);
    for (int i = 0; i < 10; ++i) {
        const QImage &holder = form->glyphs()->picChisla[static_cast<std::size_t>(i)];
        EXPECT_EQ(holder.size(), QSize(4, 6));
        EXPECT_EQ(holder.format(), QImage::Format_RGB32);
        EXPECT_EQ(holder.pixel(0, 0), glyphInk(1, i));
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(form->glyphs()->picDniNedeli[static_cast<std::size_t>(i)].pixel(0, 0),
                  glyphInk(1, 10 + i));
    ASSERT_EQ(form->glyphs()->Tsifry.size(), 10u);
    ASSERT_EQ(form->glyphs()->DniNedeli.size(), 2u);
    EXPECT_EQ(form->glyphs()->Tsifry[9].ListC(0, 0), redOf(glyphInk(1, 9)));
    EXPECT_EQ(form->glyphs()->DniNedeli[0].ListC(0, 0), redOf(glyphInk(1, 15)));
    EXPECT_EQ(form->glyphs()->DniNedeli[1].ListC(0, 0), redOf(glyphInk(1, 16)));
    EXPECT_TRUE(platform.messages.empty());
    // Mode 0 (start-up) only loads; mode 1 (a folder choice) draws once.
    EXPECT_EQ(draws->count(), 0);
    load(QStringLiteral("Набор"), 1);
    EXPECT_EQ(draws->count(), 1);
    EXPECT_EQ(failureMessages(), 0);
}

TEST_F(OpenChislaTest, MissingSevenFailsAfterZeroToSixAndKeepsThePreviousSet)
{
    writeGlyphSet(app, QStringLiteral("A"), 1, {4, 6}, {9, 6});
    writeGlyphSet(app, QStringLiteral("B"), 2, {5, 7}, {8, 7}, {QStringLiteral("7.gif")});
    load(QStringLiteral("A"), 0);
    ASSERT_EQ(state.KartinkiZagruzheny, -1);

    load(QStringLiteral("B"), 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kFailure);
    EXPECT_EQ(platform.messages[0].caption, QStringLiteral("Создатель календарей Vexilo"));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(draws->count(), 0);
    EXPECT_EQ(state.KartinkiZagruzheny, 0);
    EXPECT_EQ(state.PapkaKartinok, QStringLiteral("B")); // remembered for the settings file
    EXPECT_EQ(state.Zagolovok, QStringLiteral("Создатель календарей Vexilo - [A]"));
    EXPECT_EQ(form->windowTitle(), state.Zagolovok);
    // Digits 0..6 were read from B; the rest still hold A's.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(form->glyphs()->picChisla[static_cast<std::size_t>(i)].pixel(0, 0),
                  glyphInk(i < 7 ? 2 : 1, i))
            << i;
    EXPECT_EQ(form->glyphs()->picDniNedeli[0].pixel(0, 0), glyphInk(1, 10));
    ASSERT_EQ(form->glyphs()->Tsifry.size(), 10u);
    EXPECT_EQ(form->glyphs()->Tsifry[0].ListC(0, 0), redOf(glyphInk(1, 0)));
    EXPECT_EQ(form->glyphs()->Tsifry[0].Width, 3);
}

TEST_F(OpenChislaTest, SizeCheckLoadsAFolderHoldingOnlyZeroAndMonday)
{
    writeGlyphSet(app, QStringLiteral("full"), 1, {4, 6}, {9, 6});
    app.makeFolder(QStringLiteral("two"));
    app.write(QStringLiteral("two/0.gif"), pngBytes(testGlyph({3, 5}, glyphInk(3, 0))));
    app.write(QStringLiteral("two/Пн.gif"), pngBytes(testGlyph({7, 5}, glyphInk(3, 10))));
    load(QStringLiteral("full"), 0);

    load(QStringLiteral("two"), 0, 1);
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(failureMessages(), 0);
    ASSERT_EQ(form->glyphs()->Tsifry.size(), 1u);
    ASSERT_EQ(form->glyphs()->DniNedeli.size(), 2u);
    EXPECT_EQ(form->glyphs()->DniNedeli[0].ListC(0, 0), redOf(glyphInk(3, 10)));
    EXPECT_EQ(form->glyphs()->DniNedeli[1].ListC(0, 0), redOf(glyphInk(3, 10)));
    EXPECT_EQ(form->glyphs()->picChisla[0].pixel(0, 0), glyphInk(3, 0));
    EXPECT_EQ(form->glyphs()->picChisla[1].pixel(0, 0), glyphInk(1, 1)); // untouched
    EXPECT_EQ(form->glyphs()->picDniNedeli[6].pixel(0, 0), glyphInk(1, 16));

    // A settings file can bring any number: it loads as size check, never past the arrays.
    load(QStringLiteral("two"), 0, 5);
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(form->glyphs()->Tsifry.size(), 1u);
    load(QStringLiteral("two"), 0, -3);
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(form->glyphs()->DniNedeli.size(), 2u);
    EXPECT_EQ(failureMessages(), 0);
}

TEST_F(OpenChislaTest, DamagedGlyphFailsTheLoadWithTheMessage)
{
    writeGlyphSet(app, QStringLiteral("bad"), 1, {4, 6}, {9, 6});
    app.write(QStringLiteral("bad/Ср.gif"), QByteArray("GIF89a\x10\x00", 8));
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0};
    load(QStringLiteral("bad"), 1);
    EXPECT_EQ(state.KartinkiZagruzheny, 0);
    EXPECT_EQ(failureMessages(), 1);

    writeGlyphSet(app, QStringLiteral("huge"), 1, {4, 6}, {9, 6});
    app.write(QStringLiteral("huge/0.gif"), gifBytes(60000, 60000, palette, {1}));
    load(QStringLiteral("huge"), 1);
    EXPECT_EQ(state.KartinkiZagruzheny, 0);
    EXPECT_EQ(failureMessages(), 2);

    load(QString(), 1); // the application folder itself holds no glyphs
    EXPECT_EQ(failureMessages(), 3);
    EXPECT_EQ(draws->count(), 0);
}

TEST_F(OpenChislaTest, DrawAskedForDuringTheBuildWaitsForTheWholeSet)
{
    writeGlyphSet(app, QStringLiteral("set"), 1, {4, 6}, {9, 6});
    std::vector<std::size_t> digitsAtDraw;
    QObject::connect(form.get(), &frmForma::drawCommandIssued,
                     [&] { digitsAtDraw.push_back(form->glyphs()->Tsifry.size()); });
    int clicks = 0;
    platform.onProcessEvents = [&] {
        if (form->buildingRedVariants()) {
            ++clicks;
            form->kNew_Click(); // "Нарисовать" pressed while the set loads
        }
    };
    load(QStringLiteral("set"), 0);
    EXPECT_GT(clicks, 1);
    ASSERT_EQ(digitsAtDraw.size(), 1u); // once, after the build, though pressed many times
    EXPECT_EQ(digitsAtDraw[0], 10u);
    EXPECT_FALSE(form->buildingRedVariants());

    digitsAtDraw.clear();
    load(QStringLiteral("set"), 1); // a folder choice draws anyway: still only once
    EXPECT_EQ(digitsAtDraw, std::vector<std::size_t>{10u});

    // A failed load forgets the waiting draw.
    digitsAtDraw.clear();
    load(QStringLiteral("missing"), 0);
    platform.onProcessEvents = nullptr;
    load(QStringLiteral("set"), 0);
    EXPECT_TRUE(digitsAtDraw.empty());
}

TEST_F(OpenChislaTest, AFolderChosenWhileALoadRunsWins)
{
    writeGlyphSet(app, QStringLiteral("A"), 1, {4, 6}, {9, 6});
    writeGlyphSet(app, QStringLiteral("B"), 2, {5, 8}, {10, 8});
    int eventsSeen = 0;
    platform.onProcessEvents = [&] {
        // The user picks B while A's red variants are half built.
        if (++eventsSeen == 4) {
            state.PapkaKartinok = QStringLiteral("B");
            form->OpenChisla(1);
        }
    };
    load(QStringLiteral("A"), 1);
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(state.Zagolovok, QStringLiteral("Создатель календарей Vexilo - [B]"));
    ASSERT_EQ(form->glyphs()->Tsifry.size(), 10u);
    for (const clsPixel &digit : form->glyphs()->Tsifry)
        EXPECT_EQ(digit.Width, 4);
    EXPECT_EQ(form->glyphs()->Tsifry[5].ListC(0, 0), redOf(glyphInk(2, 5)));
    EXPECT_EQ(form->glyphs()->DniNedeli[0].ListC(0, 0), redOf(glyphInk(2, 15)));
    EXPECT_EQ(form->glyphs()->picChisla[9].pixel(0, 0), glyphInk(2, 9));
    EXPECT_EQ(draws->count(), 1); // B's, not a second one for the abandoned A
    EXPECT_FALSE(form->buildingRedVariants());
}
