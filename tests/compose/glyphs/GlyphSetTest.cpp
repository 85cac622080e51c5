#include "compose/glyphs/GlyphSet.h"

#include "common/ColorRef.h"
#include "compose/GlyphFiles.h"
#include "compose/tints/HolidayTint.h"
#include "support/TempAppFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/resource.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A 32-bit BMP header followed by `data` bytes of pixels.
QByteArray bmpBytes(int width, int height, qsizetype data)
{
    QByteArray bytes("BM");
    const auto put32 = [&bytes](quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put32(70);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<quint32>(width));
    put32(static_cast<quint32>(height));
    bytes.append("\x01\x00\x20\x00", 4); // one plane, 32 bits
    for (int i = 0; i < 6; ++i)
        put32(0);
    bytes.append(QByteArray(data, '\x7F'));
    return bytes;
}

} // namespace

TEST(GlyphSet, ImagesAreReadByContentWithTransparencyOnWhite)
{
    TempAppFolder app;
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(2, 1, qRgb(200, 100, 0));
    app.write(QStringLiteral("0.gif"), pngBytes(picture)); // a PNG under a GIF name
    const QImage png = readGlyphImage(app.file(QStringLiteral("0.gif")));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.format(), QImage::Format_RGB32);
    EXPECT_EQ(png.size(), QSize(3, 2));
    EXPECT_EQ(png.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(png.pixel(2, 1), qRgb(200, 100, 0));

    QImage grey(8, 8, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    app.write(QStringLiteral("1.gif"), encoded(grey, "JPG"));
    const QImage jpeg = readGlyphImage(app.file(QStringLiteral("1.gif")));
    ASSERT_FALSE(jpeg.isNull());
    EXPECT_NEAR(qGray(jpeg.pixel(4, 4)), 128, 3);

    // The transparent index is black in the palette: shown on the holder it must be white.
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), kWhite, qRgb(200, 0, 0), qRgb(0, 0, 200)};
    app.write(QStringLiteral("t.gif"), gifBytes(2, 2, palette, {0, 2, 3, 0}, 0));
    const QImage gif = readGlyphImage(app.file(QStringLiteral("t.gif")));
    ASSERT_FALSE(gif.isNull());
    EXPECT_EQ(gif.format(), QImage::Format_RGB32);
    EXPECT_EQ(gif.pixel(0, 0), kWhite);
    EXPECT_EQ(gif.pixel(1, 0), qRgb(200, 0, 0));
    EXPECT_EQ(gif.pixel(0, 1), qRgb(0, 0, 200));
    EXPECT_EQ(gif.pixel(1, 1), kWhite);
    // ... and so it stays white in the red variant.
    const clsPixel red = HolidayTint().redVariant(gif);
    EXPECT_EQ(red.ListC(0, 0), kWhiteRef);
    EXPECT_EQ(red.ListC(1, 1), kWhiteRef);

    // The same GIF without transparency keeps its black.
    app.write(QStringLiteral("o.gif"), gifBytes(2, 2, palette, {0, 2, 3, 0}));
    EXPECT_EQ(readGlyphImage(app.file(QStringLiteral("o.gif"))).pixel(0, 0), qRgb(0, 0, 0));

    // Half-transparent black lands half-way to white.
    QImage soft(1, 1, QImage::Format_ARGB32);
    soft.setPixel(0, 0, qRgba(0, 0, 0, 128));
    app.write(QStringLiteral("s.gif"), pngBytes(soft));
    const QRgb blended = readGlyphImage(app.file(QStringLiteral("s.gif"))).pixel(0, 0);
    EXPECT_NEAR(qRed(blended), 127, 1);
    EXPECT_EQ(qRed(blended), qGreen(blended));
    EXPECT_EQ(qRed(blended), qBlue(blended));
}

TEST(GlyphSet, DamagedEmptyAndAbsurdFilesAreRefusedWithinBoundedMemory)
{
    TempAppFolder app;
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), kWhite, qRgb(9, 9, 9), qRgb(1, 1, 1)};
    const QByteArray gif = gifBytes(8, 8, palette, std::vector<quint8>(64, 2));
    ASSERT_FALSE(QImage::fromData(gif).isNull()); // the source of the damage reads fine
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    const QByteArray png = pngBytes(picture);
    const QByteArray jpeg = encoded(picture, "JPG");
    const QByteArray bmp = encoded(picture, "BMP");
    ASSERT_FALSE(QImage::fromData(jpeg).isNull());

    app.write(QStringLiteral("empty.gif"), QByteArray());
    app.write(QStringLiteral("text.gif"), QByteArray("Это не картинка, а просто текст.\r\n"));
    app.write(QStringLiteral("header.gif"), gif.left(13));
    app.write(QStringLiteral("cut.gif"), gif.left(gif.size() / 2));
    app.write(QStringLiteral("cut.png"), png.left(png.size() / 2));
    app.write(QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() / 2));
    app.write(QStringLiteral("cut.bmp"), bmp.left(bmp.size() / 2));
    app.write(QStringLiteral("zero.gif"), gifBytes(0, 0, palette, {}));
    app.write(QStringLiteral("huge.gif"), gifBytes(60000, 60000, palette, {1, 2, 3}));
    app.write(QStringLiteral("huge.bmp"), bmpBytes(60000, 60000, 16));
    app.write(QStringLiteral("wide.bmp"), bmpBytes(kMaxGlyphSide + 1, 1, 4 * (kMaxGlyphSide + 1)));
    // The largest side allowed still loads.
    app.write(QStringLiteral("edge.bmp"), bmpBytes(kMaxGlyphSide, 1, 4 * kMaxGlyphSide));
    EXPECT_EQ(readGlyphImage(app.file(QStringLiteral("edge.bmp"))).size(), QSize(kMaxGlyphSide, 1));
    app.makeFolder(QStringLiteral("folder.gif"));

    const long before = peakMemoryKb();
    for (const char *name :
         {"empty.gif", "text.gif", "header.gif", "cut.gif", "cut.png", "cut.jpg", "cut.bmp",
          "zero.gif", "huge.gif", "huge.bmp", "wide.bmp", "folder.gif", "missing.gif"})
        EXPECT_TRUE(readGlyphImage(app.file(QString::fromLatin1(name))).isNull()) << name;
    // A decoded 60000 × 60000 image alone would take gigabytes.
    EXPECT_LT(peakMemoryKb() - before, 200L * 1024);
}

TEST(GlyphSet, MissingSevenStopsAfterTheDigitsZeroToSix)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("Набор"), 1, {4, 6}, {8, 6}, {QStringLiteral("7.gif")});
    const GlyphLoad images = readGlyphImages(app.file(QStringLiteral("Набор/")), false);
    EXPECT_FALSE(images.complete);
    EXPECT_EQ(images.failedFile, QStringLiteral("7.gif"));
    ASSERT_EQ(images.digits.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(images.digits[static_cast<std::size_t>(i)].pixel(0, 0), glyphInk(1, i));
    EXPECT_TRUE(images.weekdays.empty());

    const GlyphLoad set = loadGlyphSet(app.file(QStringLiteral("Набор/")), 0);
    EXPECT_FALSE(set.complete);
    EXPECT_EQ(set.set, nullptr); // no red variants
}

TEST(GlyphSet, FullLoadBuildsEveryRedVariantAtItsGlyphsOwnSize)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("set"), 2, {5, 7}, {9, 7});
    // A digit of another size is captured at that size.
    app.write(QStringLiteral("set/3.gif"), pngBytes(testGlyph({2, 3}, glyphInk(2, 3))));
    const GlyphLoad set = loadGlyphSet(app.file(QStringLiteral("set/")), 0);
    ASSERT_TRUE(set.complete);
    ASSERT_EQ(set.digits.size(), 10u);
    ASSERT_EQ(set.weekdays.size(), 7u);
    ASSERT_EQ(set.set->Tsifry.size(), 10u);
    ASSERT_EQ(set.set->DniNedeli.size(), 2u);

    const HolidayTint tint;
    for (int i = 0; i < 10; ++i) {
        const clsPixel &digit = set.set->Tsifry[static_cast<std::size_t>(i)];
        EXPECT_EQ(digit.Width, i == 3 ? 1 : 4) << i;
        EXPECT_EQ(digit.Height, i == 3 ? 2 : 6) << i;
        EXPECT_EQ(digit.ListC(0, 0), toColorRef(tint.recolour(glyphInk(2, i)))) << i;
        EXPECT_EQ(digit.ListC(digit.Width, digit.Height), kWhiteRef) << i;
    }
    // Saturday and Sunday are the weekdays 5 and 6.
    EXPECT_EQ(set.set->DniNedeli[0].ListC(0, 0), toColorRef(tint.recolour(glyphInk(2, 15))));
    EXPECT_EQ(set.set->DniNedeli[1].ListC(0, 0), toColorRef(tint.recolour(glyphInk(2, 16))));
    EXPECT_EQ(set.set->DniNedeli[1].Width, 8);
}

TEST(GlyphSet, SizeCheckNeedsOnlyZeroAndMonday)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("two"));
    app.write(QStringLiteral("two/0.gif"), pngBytes(testGlyph({3, 4}, glyphInk(3, 0))));
    app.write(QStringLiteral("two/Пн.gif"), pngBytes(testGlyph({6, 4}, glyphInk(3, 10))));

    EXPECT_FALSE(loadGlyphSet(app.file(QStringLiteral("two/")), 0).complete);
    // 1 is the check box's value; other numbers can come from a damaged settings file.
    for (qint32 mode : {1, 2, -1}) {
        const GlyphLoad set = loadGlyphSet(app.file(QStringLiteral("two/")), mode);
        ASSERT_TRUE(set.complete) << mode;
        EXPECT_EQ(set.digits.size(), 1u);
        EXPECT_EQ(set.weekdays.size(), 1u);
        ASSERT_EQ(set.set->Tsifry.size(), 1u);
        ASSERT_EQ(set.set->DniNedeli.size(), 2u);
        const quint32 redMonday = toColorRef(HolidayTint().recolour(glyphInk(3, 10)));
        for (const clsPixel &weekend : set.set->DniNedeli) {
            EXPECT_EQ(weekend.Width, 5);
            EXPECT_EQ(weekend.ListC(0, 0), redMonday);
        }
    }
}

TEST(GlyphSet, EventHookRunsBeforeEachGlyphAndCanAbandonTheBuild)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("set"), 4, {2, 2}, {2, 2});
    const GlyphLoad images = readGlyphImages(app.file(QStringLiteral("set/")), false);
    ASSERT_TRUE(images.complete);
    int calls = 0;
    const auto counting = [&] {
        ++calls;
        return true;
    };
    ASSERT_NE(buildGlyphSet(images, 0, nullptr, counting), nullptr);
    EXPECT_EQ(calls, 2 + 1 + 10); // each weekend name, between the two groups, each digit
    calls = 0;
    ASSERT_NE(buildGlyphSet(images, 1, nullptr, counting), nullptr);
    EXPECT_EQ(calls, 2 + 1 + 1);

    calls = 0;
    const auto stopAtFifth = [&] { return ++calls < 5; };
    EXPECT_EQ(buildGlyphSet(images, 0, nullptr, stopAtFifth), nullptr);
    EXPECT_EQ(calls, 5);
}

TEST(GlyphSet, FolderListIsAlphabeticalAndLeavesOutFilesAndHiddenFolders)
{
    TempAppFolder app;
    for (const char *name : {"плакат", "Классика", "beta", "Alpha", ".hidden", "alpha"})
        app.makeFolder(QString::fromUtf8(name));
    app.write(QStringLiteral("Options.ini"), "1\r\n");
    const QStringList expected = {QStringLiteral("Alpha"), QStringLiteral("alpha"),
                                  QStringLiteral("beta"), QStringLiteral("Классика"),
                                  QStringLiteral("плакат")};
    EXPECT_EQ(glyphFolderNames(app.path()), expected);
    EXPECT_TRUE(glyphFolderNames(app.file(QStringLiteral("missing/"))).isEmpty());
}

TEST(GlyphSet, BundledSetsAreCompleteAndEvenlySized)
{
    const QString appDir = QStringLiteral(VEXILO_APP_DIR) + QLatin1Char('/');
    const QStringList sets = glyphFolderNames(appDir);
    ASSERT_GE(sets.size(), 2);
    for (const QString &name : sets) {
        const GlyphLoad set = loadGlyphSet(appDir + name + QLatin1Char('/'), 0);
        ASSERT_TRUE(set.complete) << name.toStdString();
        // Every digit fills the same cell, or the columns of a sheet would not line up.
        const QSize digit = set.digits[0].size();
        EXPECT_GE(digit.height(), 30) << name.toStdString();
        EXPECT_LE(digit.height(), 60) << name.toStdString();
        for (const QImage &image : set.digits)
            EXPECT_EQ(image.size(), digit) << name.toStdString();
        const QSize weekday = set.weekdays[0].size();
        EXPECT_EQ(weekday.height(), digit.height()) << name.toStdString();
        for (const QImage &image : set.weekdays)
            EXPECT_EQ(image.size(), weekday) << name.toStdString();
        // Real glyphs: dark ink on a white ground.
        for (const QImage &image : set.digits) {
            EXPECT_EQ(image.pixel(0, 0), kWhite) << name.toStdString();
            int darkest = 255;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    darkest = std::min(darkest, qGray(image.pixel(x, y)));
            EXPECT_LT(darkest, 100) << name.toStdString();
        }
    }
}

TEST(GlyphSet, OnlyASingleFolderNameInsideTheProgramsFolderCanBeAGlyphFolder)
{
    for (const char *name : {"Классика", "Мой набор, 2", "a..b", "...", ".hidden", " "})
        EXPECT_TRUE(isGlyphFolderName(QString::fromUtf8(name))) << name;
    for (const char *name : {"", ".", "..", "../outside", "sub/set", "/etc", "set/", "..\\outside",
                             "C:\\glyphs", "\\\\server\\share"})
        EXPECT_FALSE(isGlyphFolderName(QString::fromUtf8(name))) << name;
    EXPECT_FALSE(isGlyphFolderName(QStringLiteral("set") + QChar(0) + QStringLiteral("/..")));
}

TEST(GlyphSet, BytesDecodeAsTheFileWouldWithTheSameRefusals)
{
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), kWhite, qRgb(9, 9, 9), qRgb(1, 1, 1)};
    const QByteArray gif = gifBytes(3, 2, palette, {0, 1, 2, 2, 1, 0});
    const QImage image = decodeGlyphImage(gif);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), kWhite);
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 0));
    TempAppFolder app;
    app.write(QStringLiteral("0.gif"), gif);
    EXPECT_EQ(readGlyphImage(app.file(QStringLiteral("0.gif"))), image);

    EXPECT_TRUE(decodeGlyphImage(QByteArray()).isNull());
    EXPECT_TRUE(decodeGlyphImage(gif.left(gif.size() - 3)).isNull());
    EXPECT_TRUE(decodeGlyphImage(gifBytes(60000, 60000, palette, {1})).isNull());
    EXPECT_TRUE(decodeGlyphImage(gifBytes(0, 0, palette, {})).isNull());
}

TEST(GlyphSet, AGlyphOfMoreThanAMillionPixelsIsRefusedWhateverItsScreenSays)
{
    TempAppFolder app;
    app.write(QStringLiteral("square.bmp"), bmpBytes(1024, 1024, 4 * 1024 * 1024));
    app.write(QStringLiteral("tall.bmp"), bmpBytes(1024, 1025, 4 * 1024 * 1025));
    app.write(QStringLiteral("strip.bmp"), bmpBytes(kMaxGlyphSide, 256, 4 * kMaxGlyphSide * 256));
    EXPECT_EQ(readGlyphImage(app.file(QStringLiteral("square.bmp"))).size(), QSize(1024, 1024));
    EXPECT_EQ(readGlyphImage(app.file(QStringLiteral("strip.bmp"))).size(),
              QSize(kMaxGlyphSide, 256));
    EXPECT_TRUE(readGlyphImage(app.file(QStringLiteral("tall.bmp"))).isNull());

    // A 0 x 0 screen whose 1542 x 1542 frame starts 1607 rows down decodes as 1542 x 3149:
    // four times the limit, and once seconds of tinting in a checked build.
    QFile file(QStringLiteral(VEXILO_TEST_DATA "/bad-input/glyphs/frame-off-screen.gif"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QImage decodedByQt;
    ASSERT_TRUE(decodedByQt.loadFromData(bytes));
    EXPECT_EQ(decodedByQt.size(), QSize(1542, 3149));
    EXPECT_TRUE(decodeGlyphImage(bytes).isNull());
}

TEST(GlyphSet, BmpHeadersWhoseSizeOverflowsAreRefusedAsCutFiles)
{
    // Rows of 8 GB times 2^31 rows: the completeness check must not overflow on them (the
    // sanitizer build stops on it).
    EXPECT_TRUE(decodeGlyphImage(bmpBytes(2147483647, -2147483647 - 1, 16)).isNull());
    EXPECT_TRUE(decodeGlyphImage(bmpBytes(2147483647, 2147483647, 16)).isNull());
    QFile file(QStringLiteral(VEXILO_TEST_DATA "/bad-input/glyphs/bmp-rows-beyond-64-bits.gif"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(decodeGlyphImage(file.readAll()).isNull());
}
