#include "shell/UserSettings.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace vexilo;

TEST(UserSettings, TheLastGlyphStyleComesBackAndAColourThatCannotBeReadIsNone)
{
    const GlyphStyle saved{QStringLiteral("DejaVu Serif"), 44, false, QColor(0x12, 0x34, 0x56)};
    saveGlyphStyle(saved);
    const std::optional<GlyphStyle> loaded = loadGlyphStyle();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->family, saved.family);
    EXPECT_EQ(loaded->pixelSize, 44);
    EXPECT_FALSE(loaded->bold);
    EXPECT_EQ(loaded->color, saved.color);

    // Edited by hand: the window falls back to its usual choice for what cannot be read.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("vexilo"),
                       QStringLiteral("vexilo"));
    settings.setValue(QStringLiteral("glyphs/color"), QStringLiteral("#ff00ff\n"));
    settings.setValue(QStringLiteral("glyphs/size"), QStringLiteral("большой"));
    settings.sync();
    const std::optional<GlyphStyle> edited = loadGlyphStyle();
    ASSERT_TRUE(edited.has_value());
    EXPECT_FALSE(edited->color.isValid());
    EXPECT_EQ(edited->pixelSize, 0);
    settings.remove(QStringLiteral("glyphs"));
    settings.sync();
    EXPECT_FALSE(loadGlyphStyle().has_value());
}
