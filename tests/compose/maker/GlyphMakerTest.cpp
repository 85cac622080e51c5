#include "compose/maker/GlyphMaker.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/maker/GifWriter.h"

#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

// Columns of pure white on the left and on the right of an image composited onto white.
std::pair<int, int> whiteSides(const QImage &image)
{
    const auto blank = [&image](int x) {
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != kWhite)
                return false;
        return true;
    };
    int left = 0;
    while (left < image.width() && blank(left))
        ++left;
    int right = 0;
    while (right < image.width() && blank(image.width() - 1 - right))
        ++right;
    return {left, right};
}

QImage onWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
}

// The largest difference of one channel between two images of the same size.
int largestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

} // namespace

TEST(GlyphMaker, DigitsAndNamesShareTheirBoxesAndOneHeightWithTheInkCentred)
{
    const MadeGlyphs made = makeGlyphs({QStringLiteral("DejaVu Sans"), 40, false, Qt::black});
    const QSize digit = made.digits[0].size();
    const QSize weekday = made.weekdays[0].size();
    EXPECT_GT(weekday.width(), digit.width());
    EXPECT_EQ(digit.height(), weekday.height());
    EXPECT_GT(digit.height(), 20);
    for (const QImage &image : made.digits)
        EXPECT_EQ(image.size(), digit);
    for (const QImage &image : made.weekdays)
        EXPECT_EQ(image.size(), weekday);
    for (const QImage &image : made.digits) {
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "transparent background";
        const auto [left, right] = whiteSides(onWhite(image));
        EXPECT_LE(std::abs(left - right), 1);
        EXPECT_GE(std::min(left, right), glyphMargins(40).left());
    }
}

TEST(GlyphMaker, GifsDecodeToTheGlyphsOnWhitePixelForPixel)
{
    const MadeGlyphs made =
        makeGlyphs({QStringLiteral("Liberation Serif"), 33, true, QColor(0x1B, 0x35, 0x5E)});
    for (const QImage &image : {made.digits[8], made.weekdays[2]}) {
        const GifEncoding gif = encodeGif(image);
        ASSERT_FALSE(gif.bytes.isEmpty()) << gif.error.toStdString();
        EXPECT_TRUE(gif.bytes.startsWith("GIF89a"));
        EXPECT_LE(largestDifference(decodeGlyphImage(gif.bytes), onWhite(image)), 1);
    }
    EXPECT_TRUE(encodeGif(QImage()).bytes.isEmpty());
}

TEST(GlyphMaker, AWrittenSetLoadsAndAnExistingFolderIsReplacedOnlyWhenAskedAndSafe)
{
    TempAppFolder app;
    const MadeGlyphs made = makeGlyphs({QStringLiteral("DejaVu Sans"), 24, true, Qt::black});
    const QString folder = app.file(QStringLiteral("Новый"));
    ASSERT_TRUE(writeMadeGlyphs(made, folder, false).ok);
    const GlyphLoad set = loadGlyphSet(folder + QLatin1Char('/'), 0);
    ASSERT_TRUE(set.complete);
    EXPECT_LE(largestDifference(set.digits[5], onWhite(made.digits[5])), 1);
    EXPECT_LE(largestDifference(set.weekdays[6], onWhite(made.weekdays[6])), 1);
    EXPECT_EQ(glyphFolderNames(app.path()), QStringList{QStringLiteral("Новый")});

    // Not replaced when the folder holds something that is no picture.
    const MadeGlyphs other = makeGlyphs({QStringLiteral("DejaVu Sans"), 30, false, Qt::red});
    const QByteArray zero = app.read(QStringLiteral("Новый/0.gif"));
    app.write(QStringLiteral("Новый/заметки.txt"), "мои");
    EXPECT_FALSE(writeMadeGlyphs(other, folder, true).ok);
    EXPECT_EQ(app.read(QStringLiteral("Новый/0.gif")), zero);
    QFile::remove(app.file(QStringLiteral("Новый/заметки.txt")));
    // Replaced when asked: the new glyphs and no leftover hidden folders.
    EXPECT_TRUE(writeMadeGlyphs(other, folder, true).ok);
    EXPECT_NE(app.read(QStringLiteral("Новый/0.gif")), zero);
    EXPECT_EQ(QDir(app.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Новый")});
}

TEST(GlyphMaker, FontsAreMatchedRegardlessOfCaseAndColoursOnlyAsHex)
{
    EXPECT_EQ(installedFontFamily(QStringLiteral("dejavu SANS")), QStringLiteral("DejaVu Sans"));
    EXPECT_FALSE(installedFontFamily(QStringLiteral("Нет такого шрифта")).has_value());
    EXPECT_EQ(colorFromHex(QStringLiteral("#1b355E")), QColor(0x1B, 0x35, 0x5E));
    for (const char *bad : {"red", "#12345", "#1234567", "1B355E", "#GG0000", "", "#ff00ff\n",
                            " #ff00ff", "#ff00ff ", "#ff00ff\n#000000"})
        EXPECT_FALSE(colorFromHex(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(GlyphMaker, AFullDiskLeavesTheOldSetByteForByte)
{
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("Набор"));
    ASSERT_TRUE(writeMadeGlyphs(makeGlyphs({QStringLiteral("DejaVu Sans"), 20, false, Qt::black}),
                                folder, false)
                    .ok);
    QStringList names;
    for (int d = 0; d < 10; ++d)
        names.append(digitFileName(d));
    for (const QString &name : weekdayFileNames())
        names.append(name);
    std::vector<QByteArray> old;
    for (const QString &name : names)
        old.push_back(app.read(QStringLiteral("Набор/") + name));

    const MadeGlyphs other = makeGlyphs({QStringLiteral("DejaVu Sans"), 26, true, Qt::blue});
    for (const int passes : {0, 9, 16}) {
        const SafeWriteResult result =
            writeMadeGlyphs(other, folder, true,
                            {Durability::Synced, failAt(SafeWriteStage::Write, ENOSPC, passes)});
        EXPECT_FALSE(result.ok) << passes;
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(app.read(QStringLiteral("Набор/") + names[i]), old[std::size_t(i)]) << passes;
        EXPECT_EQ(
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
            29);
    }
}

TEST(GlyphMaker, HiddenFoldersLeftByTheOldWayOfWritingGoWhenStaleAndHoldingOnlyGlyphs)
{
    TempAppFolder app;
    struct Leftover
    {
        const char *name;
        const char *file;
        int age;
        bool removed;
    };
    const Leftover leftovers[] = {
        {".Набор-Ab12Cd", "0.gif", 120, true},
        {".Набор-Ab12Cd-old", "Вс.gif", 120, true},
        {".Набор-Ab12Ce-old", "отпуск.jpg", 120, false}, // the user's files, hidden by mistake
        {".Набор-Ab12Cf", "0.gif", 5, false},
        {".Другой-Ab12Cd", "0.gif", 120, false},
        {".Набор-Ab12Cd-older", "0.gif", 120, false},
    };
    for (const Leftover &leftover : leftovers) {
        const QString name = QString::fromUtf8(leftover.name);
        app.write(name + u'/' + QString::fromUtf8(leftover.file), "x");
        timespec times[2] = {};
        ::clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_sec -= leftover.age;
        times[1] = times[0];
        ::utimensat(AT_FDCWD, QFile::encodeName(app.file(name)).constData(), times, 0);
    }
    ASSERT_TRUE(writeMadeGlyphs(makeGlyphs({QStringLiteral("DejaVu Sans"), 12, false, Qt::black}),
                                app.file(QStringLiteral("Набор")), false)
                    .ok);
    for (const Leftover &leftover : leftovers)
        EXPECT_EQ(QFileInfo::exists(app.file(QString::fromUtf8(leftover.name))), !leftover.removed)
            << leftover.name;
}
