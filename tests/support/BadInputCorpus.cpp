#include "BadInputCorpus.h"

#include "compose/GlyphFiles.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace vexilo::test {

namespace {

QString corpusFolder(const QString &folder)
{
    return QStringLiteral(VEXILO_TEST_DATA "/bad-input/") + folder + QLatin1Char('/');
}

} // namespace

QByteArray corpusFile(const QString &folder, const QString &name)
{
    QFile file(corpusFolder(folder) + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

void expectEveryFileHasACase(const QString &folder, const QStringList &names)
{
    const QStringList files = QDir(corpusFolder(folder)).entryList(QDir::Files, QDir::Name);
    EXPECT_FALSE(files.isEmpty()) << folder.toStdString();
    for (const QString &file : files)
        EXPECT_TRUE(names.contains(file))
            << (folder + QLatin1Char('/') + file).toStdString() << " has no case";
}

const std::vector<BadGlyphCase> &badGlyphCases()
{
    static const std::vector<BadGlyphCase> cases = {
        {QStringLiteral("empty.gif"), QStringLiteral("0.gif"), "an empty file"},
        {QStringLiteral("truncated.gif"), QStringLiteral("3.gif"), "a GIF cut in half"},
        {QStringLiteral("not-an-image.gif"), QStringLiteral("Пт.gif"), "text named .gif"},
        {QStringLiteral("huge-60000.gif"), QStringLiteral("5.gif"), "a GIF of 60000 x 60000"},
        {QStringLiteral("zero-size.gif"), QStringLiteral("Вс.gif"), "a GIF of 0 x 0"},
        {QStringLiteral("frame-off-screen.gif"), QStringLiteral("6.gif"),
         "a 1542 x 1542 frame 1607 rows down a 0 x 0 screen"},
        {QStringLiteral("bmp-rows-beyond-64-bits.gif"), QStringLiteral("2.gif"),
         "a cut BMP whose row size times height passes 64 bits"},
        {QString(), QStringLiteral("9.gif"), "a missing glyph"},
    };
    return cases;
}

void writeBadGlyphSet(const TempAppFolder &app, const QString &name, const BadGlyphCase &c)
{
    writeGlyphSet(app, name, 2, {4, 6}, {9, 6}, {c.glyph});
    if (!c.corpusFile.isEmpty())
        app.write(name + QLatin1Char('/') + c.glyph,
                  corpusFile(QStringLiteral("glyphs"), c.corpusFile));
}

void writeMixedSizeSet(const TempAppFolder &app, const QString &name)
{
    writeGlyphSet(app, name, 3, {40, 3}, {2, 90});
    const QString folder = name + QLatin1Char('/');
    app.write(folder + QStringLiteral("0.gif"),
              corpusFile(QStringLiteral("glyphs"), QStringLiteral("one-pixel.gif")));
    app.write(folder + QStringLiteral("Пн.gif"), pngBytes(testGlyph({300, 2}, qRgb(0, 90, 0))));
    app.write(folder + QStringLiteral("1.gif"), pngBytes(testGlyph({1000, 700}, qRgb(90, 0, 0))));
}

} // namespace vexilo::test
