// The printed products from the renderer: each is made of the described sheets' own pixels.
#include "cli/RenderCommand.h"

#include "compose/glyphs/GlyphSet.h"
#include "compose/tints/PaleTint.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

// Glyphs with ink and white in them, so tints and places both show.
void writeGlyphs(const QString &folder)
{
    QDir().mkpath(folder);
    for (int d = 0; d < 10; ++d) {
        QImage digit(7, 9, QImage::Format_RGB32);
        digit.fill(Qt::white);
        for (int y = 0; y <= d % 9; ++y)
            digit.setPixel(1 + y % 5, y, qRgb(20 * d, 60, 140));
        ASSERT_TRUE(digit.save(folder + digitFileName(d), "PNG"));
    }
    for (int w = 0; w < 7; ++w) {
        QImage name(12, 9, QImage::Format_RGB32);
        name.fill(Qt::white);
        for (int x = 0; x <= w + 3; ++x)
            name.setPixel(x, 4, qRgb(10, 90 + 20 * w, 30));
        ASSERT_TRUE(name.save(folder + weekdayFileNames()[std::size_t(w)], "PNG"));
    }
}

struct Products
{
    TempAppFolder app;
    Products() { writeGlyphs(app.file(QStringLiteral("set/"))); }

    // Runs the renderer into `name` and returns its status.
    int render(const QString &name, const QString &args) const
    {
        QStringList list{QStringLiteral("vexilo-render"), QStringLiteral("-g"),
                         app.file(QStringLiteral("set")), QStringLiteral("-o"), app.file(name)};
        list << args.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = runRender(list, outStream, errStream, app.path());
        errStream.flush();
        EXPECT_EQ(status, RenderOk) << args.toStdString() << err.toStdString();
        return status;
    }
    QByteArray bytes(const QString &file) const { return app.read(file); }
    QImage image(const QString &file) const { return QImage(app.file(file)); }
};

} // namespace

TEST(CalendarProducts, SchoolYearAndQuarterlyPagesAreTheDescribedSheetsPixels)
{
    Products p;
    p.render(QStringLiteral("y26"), QStringLiteral("-y 2026 -r 4"));
    p.render(QStringLiteral("y27"), QStringLiteral("-y 2027 -r 4"));
    p.render(QStringLiteral("school"), QStringLiteral("--from 2026-09 --months 12 -r 4"));
    // September to December is the third row of 2026; then the first two rows of 2027.
    const std::vector<std::pair<QString, QString>> rows = {
        {QStringLiteral("school_ряд1.bmp"), QStringLiteral("y26_ряд3.bmp")},
        {QStringLiteral("school_ряд2.bmp"), QStringLiteral("y27_ряд1.bmp")},
        {QStringLiteral("school_ряд3.bmp"), QStringLiteral("y27_ряд2.bmp")},
    };
    for (const auto &[row, year] : rows) {
        ASSERT_FALSE(p.bytes(row).isEmpty()) << row.toStdString();
        EXPECT_EQ(p.bytes(row), p.bytes(year)) << row.toStdString();
    }
    EXPECT_FALSE(QFile::exists(p.app.file(QStringLiteral("school_ряд4.bmp"))));

    // The quarterly calendar: page 1 is December 2026, January and February 2027 in a column;
    // the middle one is the January sheet, the outer ones the pale tint of theirs.
    p.render(QStringLiteral("q"), QStringLiteral("--quarterly -y 2027"));
    p.render(QStringLiteral("dec"), QStringLiteral("-y 2026 -m 12"));
    p.render(QStringLiteral("jan"), QStringLiteral("-y 2027 -m 1"));
    p.render(QStringLiteral("feb"), QStringLiteral("-y 2027 -m 2"));
    EXPECT_TRUE(QFile::exists(p.app.file(QStringLiteral("q_стр12_ряд3.bmp"))));
    EXPECT_FALSE(QFile::exists(p.app.file(QStringLiteral("q_стр13_ряд1.bmp"))));
    EXPECT_EQ(p.bytes(QStringLiteral("q_стр1_ряд2.bmp")), p.bytes(QStringLiteral("jan.bmp")));
    const PaleTint pale;
    for (const auto &[row, month] :
         {std::pair{QStringLiteral("q_стр1_ряд1.bmp"), QStringLiteral("dec.bmp")},
          {QStringLiteral("q_стр1_ряд3.bmp"), QStringLiteral("feb.bmp")}}) {
        const QImage outer = p.image(row).convertToFormat(QImage::Format_RGB32);
        const QImage sheet = p.image(month).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(outer.size(), sheet.size()) << row.toStdString();
        int differing = 0;
        for (int y = 0; y < sheet.height(); ++y)
            for (int x = 0; x < sheet.width(); ++x)
                differing += outer.pixel(x, y) != pale.recolour(sheet.pixel(x, y));
        EXPECT_EQ(differing, 0) << row.toStdString();
    }
}
