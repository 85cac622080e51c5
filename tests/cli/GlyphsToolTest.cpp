// The real vexilo-glyphs, as scripts run it.
#include "compose/GlyphSet.h"
#include "support/TempAppFolder.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace vexilo;
using vexilo::test::TempAppFolder;

namespace {

struct ToolRun
{
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VEXILO_APP_DIR "/") + program, args);
    ToolRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

TEST(GlyphsTool, ASetFromAFontIsDrawnByTheRenderer)
{
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("dejavu"));
    const ToolRun made =
        runTool(QStringLiteral("vexilo-glyphs"),
                {QStringLiteral("--font"), QStringLiteral("DejaVu Sans"), QStringLiteral("--size"),
                 QStringLiteral("40"), QStringLiteral("-o"), folder});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const GlyphSet set = loadGlyphSet(folder + QLatin1Char('/'), 0);
    ASSERT_TRUE(set.images.complete);
    for (const QImage &image : set.images.digits)
        EXPECT_EQ(image.size(), set.images.digits[0].size());
    for (const QImage &image : set.images.weekdays)
        EXPECT_EQ(image.size(), set.images.weekdays[0].size());
    EXPECT_EQ(set.images.digits[0].height(), set.images.weekdays[0].height());

    const ToolRun drawn =
        runTool(QStringLiteral("vexilo-render"),
                {QStringLiteral("-g"), folder, QStringLiteral("-y"), QStringLiteral("2027"),
                 QStringLiteral("-o"), app.file(QStringLiteral("sheet"))});
    EXPECT_EQ(drawn.status, 0) << drawn.err.toStdString();
    EXPECT_FALSE(QImage(app.file(QStringLiteral("sheet_ряд1.bmp"))).isNull());
}

TEST(GlyphsTool, AnUnknownFontOrAnExistingFolderFailsAndTouchesNothing)
{
    TempAppFolder app;
    const ToolRun unknown = runTool(QStringLiteral("vexilo-glyphs"),
                                    {QStringLiteral("--font"), QStringLiteral("Нет Такого"),
                                     QStringLiteral("-o"), app.file(QStringLiteral("x"))});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("«Нет Такого»")));
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("x"))));

    app.makeFolder(QStringLiteral("set"));
    app.write(QStringLiteral("set/0.gif"), "mine");
    const QStringList args = {QStringLiteral("--font"),       QStringLiteral("dejavu sans"),
                              QStringLiteral("--bold"),       QStringLiteral("--color"),
                              QStringLiteral("#336699"),      QStringLiteral("-o"),
                              app.file(QStringLiteral("set"))};
    const ToolRun refused = runTool(QStringLiteral("vexilo-glyphs"), args);
    EXPECT_NE(refused.status, 0);
    EXPECT_EQ(app.read(QStringLiteral("set/0.gif")), QByteArray("mine"));
    const ToolRun forced = runTool(QStringLiteral("vexilo-glyphs"), args + QStringList{"--force"});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_TRUE(loadGlyphSet(app.file(QStringLiteral("set/")), 0).images.complete);

    const ToolRun version = runTool(QStringLiteral("vexilo-glyphs"), {QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("vexilo-glyphs ")));
}
