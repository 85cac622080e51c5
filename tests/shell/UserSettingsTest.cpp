#include "shell/UserSettings.h"

#include "shell/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace vexilo;

TEST(UserSettings, TheLastGlyphStyleComesBackAndAColourThatCannotBeReadIsNone)
{
    // A copy that keeps its files beside itself keeps these there too.
    const test::TempAppFolder app;
    const QString file = AppPaths::besideProgram(app.path()).settingsFile();
    EXPECT_EQ(file, app.file(QStringLiteral("vexilo.ini")));
    const UserSettings user(file);
    const GlyphStyle saved{QStringLiteral("DejaVu Serif"), 44, false, QColor(0x12, 0x34, 0x56)};
    user.saveGlyphStyle(saved);
    EXPECT_TRUE(QFile::exists(file));
    const std::optional<GlyphStyle> loaded = user.loadGlyphStyle();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->family, saved.family);
    EXPECT_EQ(loaded->pixelSize, 44);
    EXPECT_FALSE(loaded->bold);
    EXPECT_EQ(loaded->color, saved.color);

    // Edited by hand: the window falls back to its usual choice for what cannot be read.
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("glyphs/color"), QStringLiteral("#ff00ff\n"));
    settings.setValue(QStringLiteral("glyphs/size"), QStringLiteral("большой"));
    settings.sync();
    const std::optional<GlyphStyle> edited = user.loadGlyphStyle();
    ASSERT_TRUE(edited.has_value());
    EXPECT_FALSE(edited->color.isValid());
    EXPECT_EQ(edited->pixelSize, 0);
    settings.remove(QStringLiteral("glyphs"));
    settings.sync();
    EXPECT_FALSE(user.loadGlyphStyle().has_value());
}

TEST(UserSettings, TheKindOfTheLastGlyphSetComesBackAndAnythingElseIsNone)
{
    const test::TempAppFolder app;
    const UserSettings user(app.file(QStringLiteral("vexilo.ini")));
    EXPECT_FALSE(user.loadGlyphFiles().has_value()) << "nothing before the first set";
    for (const MadeGlyphFiles files : {MadeGlyphFiles::Svg, MadeGlyphFiles::Gif}) {
        user.saveGlyphFiles(files);
        EXPECT_EQ(user.loadGlyphFiles(), files);
    }
    QSettings settings(app.file(QStringLiteral("vexilo.ini")), QSettings::IniFormat);
    for (const char *edited : {"SVG ", "pdf", "1", ""}) {
        settings.setValue(QStringLiteral("glyphs/files"), QString::fromLatin1(edited));
        settings.sync();
        EXPECT_FALSE(user.loadGlyphFiles().has_value()) << edited;
    }
}
